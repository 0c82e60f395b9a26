#include "content/factdata.h"

namespace content {

// Rows 1 to 189 in table order. Each fact is written so that it never states its own date.
const std::array<FactSource, FactTable::kRows> kFactSource{{
    // 1 (IV) AUSTRALOPITECO in Africa
    {"Compare, in Africa, l'AUSTRALOPITECO, il primo ominide che può muoversi senza aiutarsi con le zampe anteriori.",
     "5 milioni a.fa"},
    // 2 (IV) TECNICA e PALEOLITICO
    {"TODO: TECNICA e PALEOLITICO",
     "3 milioni a.fa"},
    // 3 (IV) HOMO ERECTUS
    {"TODO: HOMO ERECTUS",
     "2 milioni a.fa"},
    // 4 (IV) uso volontario del fuoco
    {"TODO: uso volontario del fuoco",
     "700 000 a.fa"},
    // 5 (IV) più antico ominide in EUROPA
    {"Il più antico reperto di ominide, in EUROPA, risale a....",
     "500 000 a.fa"},
    // 6 (IV) più antichi reperti di HOMO SAPIENS
    {"I più antichi reperti di HOMO SAPIENS (trovati in Africa), risalgono a.....",
     "400 000 a.fa"},
    // 7 (IV) quarta GLACIAZIONE
    {"TODO: quarta GLACIAZIONE",
     "200 000 a.fa"},
    // 8 (IV) diffusione dei Neanderthaliani
    {"TODO: diffusione dei Neanderthaliani",
     "150 000 a.fa"},
    // 9 (IV) HOMO SAPIENS SAPIENS
    {"TODO: HOMO SAPIENS SAPIENS",
     "45 000 a.fa"},
    // 10 (IV) HOMO SAPIENS nelle caverne
    {"TODO: HOMO SAPIENS nelle caverne",
     "20 000 a.fa"},
    // 11 (IV) fine glaciazione, MESOLITICO
    {"TODO: fine glaciazione, MESOLITICO",
     "13 000 a.fa"},
    // 12 (IV) AGRICOLTURA e NEOLITICO
    {"TODO: AGRICOLTURA e NEOLITICO",
     "11 000 a.fa"},
    // 13 (IV) primo metallo: il RAME
    {"TODO: primo metallo: il RAME",
     "6 000 a fa"},
    // 14 (IV) fine PREISTORIA, prime città
    {"TODO: fine PREISTORIA, prime città",
     "3500 a.C."},
    // 15 (IV) unificazione di ALTO e BASSO EGITTO
    {"TODO: unificazione di ALTO e BASSO EGITTO",
     "3125 a.C."},
    // 16 (IV) CODICE di HAMMURABI
    {"TODO: CODICE di HAMMURABI",
     "1760 a.C."},
    // 17 (IV) dominio degli ACCADI
    {"TODO: dominio degli ACCADI",
     "2350 a.C."},
    // 18 (IV) ASSIRI in MESOPOTAMIA
    {"TODO: ASSIRI in MESOPOTAMIA",
     "1150 a.C."},
    // 19 (IV) EBREI nella terra di CANAAN
    {"TODO: EBREI nella terra di CANAAN",
     "1800 a.C."},
    // 20 (IV) MOSE', fuga dall'EGITTO
    {"TODO: MOSE', fuga dall'EGITTO",
     "1200 a.C."},
    // 21 (V) migrazione delle popolazioni INDOEUROPEE
    {"TODO: migrazione delle popolazioni INDOEUROPEE",
     "4000 a.fa"},
    // 22 (V) Dori in Grecia
    {"TODO: Dori in Grecia",
     "XI sec.a.C"},
    // 23 (V) fine della CIVILTA' MINOICA
    {"TODO: fine della CIVILTA' MINOICA",
     "1450 a.C."},
    // 24 (V) SOLONE e le leggi di Atene
    {"TODO: SOLONE e le leggi di Atene",
     "594 a.C."},
    // 25 (V) CLISTENE, costituzione DEMOCRATICA
    {"TODO: CLISTENE, costituzione DEMOCRATICA",
     "508 a.C."},
    // 26 (V) guerre contro i PERSIANI
    {"TODO: guerre contro i PERSIANI",
     "490-479 a.C."},
    // 27 (V) PERICLE governa Atene
    {"TODO: PERICLE governa Atene",
     "460 a.C."},
    // 28 (V) FILIPPO II DI MACEDONIA, CHERONEA
    {"TODO: FILIPPO II DI MACEDONIA, CHERONEA",
     "338 a.C."},
    // 29 (V) impero di ALESSANDRO MAGNO
    {"TODO: impero di ALESSANDRO MAGNO",
     "334 a.C."},
    // 30 (V) ETRUSCHI verso l'Adriatico
    {"TODO: ETRUSCHI verso l'Adriatico",
     "VI sec a.C."},
    // 31 (V) Celti nel Nord Italia
    {"TODO: Celti nel Nord Italia",
     "IV sec a.C."},
    // 32 (V) fondazione di ROMA
    {"ROMOLO, secondo la leggenda, fonda ROMA.",
     "753 a.C."},
    // 33 (V) inizio della REPUBBLICA
    {"TODO: inizio della REPUBBLICA",
     "509 a.C."},
    // 34 (V) TRIBUNO DELLA PLEBE
    {"TODO: TRIBUNO DELLA PLEBE",
     "495 a.C."},
    // 35 (V) battaglia di SENTINO
    {"TODO: battaglia di SENTINO",
     "295 a.C"},
    // 36 (V) GUERRE SANNITICHE
    {"TODO: GUERRE SANNITICHE",
     "290 a.C."},
    // 37 (V) guerra contro TARANTO e PIRRO
    {"TODO: guerra contro TARANTO e PIRRO",
     "276 a.C."},
    // 38 (V) prima GUERRA PUNICA
    {"TODO: prima GUERRA PUNICA",
     "241 a.C."},
    // 39 (V) ANNIBALE, seconda guerra punica
    {"TODO: ANNIBALE, seconda guerra punica",
     "202 a.C."},
    // 40 (V) TIBERIO GRACCO
    {"TODO: TIBERIO GRACCO",
     "133 a.C."},
    // 41 (V) ribellione dei popoli italici
    {"TODO: ribellione dei popoli italici",
     "90 a.C."},
    // 42 (V) guerra civile tra CESARE e POMPEO
    {"TODO: guerra civile tra CESARE e POMPEO",
     "47 a.C."},
    // 43 (V) assassinio di CESARE
    {"TODO: assassinio di CESARE",
     "44 a.C."},
    // 44 (V) OTTAVIANO, battaglia di AZIO
    {"TODO: OTTAVIANO, battaglia di AZIO",
     "31 a.C."},
    // 45 (V) crisi dell'impero romano
    {"TODO: crisi dell'impero romano",
     "III sec d.C."},
    // 46 (V) Diocleziano imperatore
    {"TODO: Diocleziano imperatore",
     "285"},
    // 47 (V) EDITTO DI MILANO
    {"TODO: EDITTO DI MILANO",
     "313"},
    // 48 (V) fine dell'IMPERO ROMANO D'OCCIDENTE
    {"TODO: fine dell'IMPERO ROMANO D'OCCIDENTE",
     "476"},
    // 49 (I) Giustiniano riconquista l'Italia
    {"TODO: Giustiniano riconquista l'Italia",
     "553"},
    // 50 (I) invasione dei Longobardi
    {"TODO: invasione dei Longobardi",
     "567"},
    // 51 (I) EGIRA di MAOMETTO
    {"TODO: EGIRA di MAOMETTO",
     "622"},
    // 52 (I) battaglia di POITIERS
    {"TODO: battaglia di POITIERS",
     "732"},
    // 53 (I) CARLO MAGNO sconfigge i LONGOBARDI
    {"TODO: CARLO MAGNO sconfigge i LONGOBARDI",
     "774"},
    // 54 (I) Carlo Magno imperatore, SACRO ROMANO IMPERO
    {"Carlo Magno viene incoronato imperatore del SACRO ROMANO IMPERO.",
     "800"},
    // 55 (I) Trattato di VERDUN
    {"TODO: Trattato di VERDUN",
     "843"},
    // 56 (I) CAPITOLARE DI QUIERZY
    {"TODO: CAPITOLARE DI QUIERZY",
     "877"},
    // 57 (I) ARABI in SICILIA
    {"TODO: ARABI in SICILIA",
     "902"},
    // 58 (I) OTTONE I imperatore
    {"TODO: OTTONE I imperatore",
     "962"},
    // 59 (I) Guglielmo conquista l'Inghilterra
    {"TODO: Guglielmo conquista l'Inghilterra",
     "1066"},
    // 60 (I) Normanni in Sicilia
    {"TODO: Normanni in Sicilia",
     "1091"},
    // 61 (I) prima crociata
    {"TODO: prima crociata",
     "1096"},
    // 62 (I) crociata dei baroni, Gerusalemme
    {"TODO: crociata dei baroni, Gerusalemme",
     "1099"},
    // 63 (I) concordato di WORMS
    {"TODO: concordato di WORMS",
     "1122"},
    // 64 (I) Federico Barbarossa imperatore
    {"TODO: Federico Barbarossa imperatore",
     "1154"},
    // 65 (I) sconfitta del Barbarossa a Legnano
    {"TODO: sconfitta del Barbarossa a Legnano",
     "1176"},
    // 66 (I) Federico II imperatore
    {"TODO: Federico II imperatore",
     "1220"},
    // 67 (I) ordine francescano
    {"TODO: ordine francescano",
     "1223"},
    // 68 (I) sconfitta di Benevento, Angiò
    {"TODO: sconfitta di Benevento, Angiò",
     "1266"},
    // 69 (I) Sicilia agli aragonesi
    {"TODO: Sicilia agli aragonesi",
     "1282"},
    // 70 (I) Turchi e impero bizantino
    {"TODO: Turchi e impero bizantino",
     "1301"},
    // 71 (I) Bonifacio VIII, supremazia del Papa
    {"TODO: Bonifacio VIII, supremazia del Papa",
     "1302"},
    // 72 (I) papato ad Avignone
    {"TODO: papato ad Avignone",
     "1304"},
    // 73 (I) grande carestia in Europa
    {"TODO: grande carestia in Europa",
     "1315"},
    // 74 (I) inizio della guerra dei 100 anni
    {"TODO: inizio della guerra dei 100 anni",
     "1339"},
    // 75 (I) epidemia di peste
    {"TODO: epidemia di peste",
     "1348"},
    // 76 (I) Aragona e Regno di Napoli
    {"TODO: Aragona e Regno di Napoli",
     "1435"},
    // 77 (I) Asburgo e corona imperiale
    {"TODO: Asburgo e corona imperiale",
     "1437"},
    // 78 (I) Concilio di Basilea
    {"TODO: Concilio di Basilea",
     "1449"},
    // 79 (I) fine dell'impero bizantino
    {"TODO: fine dell'impero bizantino",
     "1453"},
    // 80 (II) pace di Lodi, stampa
    {"TODO: pace di Lodi, stampa",
     "1454"},
    // 81 (II) nascita del Regno di Spagna
    {"TODO: nascita del Regno di Spagna",
     "1468"},
    // 82 (II) Colombo scopre l'America
    {"Cristoforo Colombo scopre l'America. Gli spagnoli cominciano a colonizzare il Centro ed il Sud America.",
     "1492"},
    // 83 (II) Carlo VIII e Regno di Napoli
    {"TODO: Carlo VIII e Regno di Napoli",
     "1494"},
    // 84 (II) Luigi XII conquista Milano
    {"TODO: Luigi XII conquista Milano",
     "1498"},
    // 85 (II) tesi di Martin Lutero
    {"TODO: tesi di Martin Lutero",
     "1517"},
    // 86 (II) Carlo V imperatore
    {"TODO: Carlo V imperatore",
     "1519"},
    // 87 (II) Concilio di Trento
    {"TODO: Concilio di Trento",
     "1546"},
    // 88 (II) rinuncia di Carlo V
    {"TODO: rinuncia di Carlo V",
     "1556"},
    // 89 (II) Elisabetta I regina d'Inghilterra
    {"TODO: Elisabetta I regina d'Inghilterra",
     "1558"},
    // 90 (II) pace di Cateau Cambrésis
    {"TODO: pace di Cateau Cambrésis",
     "1559"},
    // 91 (II) indipendenza dell'Olanda
    {"TODO: indipendenza dell'Olanda",
     "1581"},
    // 92 (II) sconfitta dell'Armada spagnola
    {"TODO: sconfitta dell'Armada spagnola",
     "1588"},
    // 93 (II) Enrico IV re di Francia
    {"TODO: Enrico IV re di Francia",
     "1593"},
    // 94 (II) Editto di Nantes
    {"TODO: Editto di Nantes",
     "1598"},
    // 95 (II) inizio della Guerra dei 30 anni
    {"TODO: inizio della Guerra dei 30 anni",
     "1618"},
    // 96 (II) Galileo e l'Inquisizione
    {"TODO: Galileo e l'Inquisizione",
     "1633"},
    // 97 (II) inizio della guerra civile inglese
    {"TODO: inizio della guerra civile inglese",
     "1642"},
    // 98 (II) Pace di Westfalia
    {"TODO: Pace di Westfalia",
     "1648"},
    // 99 (II) Luigi XIV, Monarchia Assoluta
    {"TODO: Luigi XIV, Monarchia Assoluta",
     "1661"},
    // 100 (II) fine della guerra civile inglese
    {"TODO: fine della guerra civile inglese",
     "1688"},
    // 101 (II) Pace di Carlowitz
    {"TODO: Pace di Carlowitz",
     "1699"},
    // 102 (II) Guerra di successione spagnola
    {"TODO: Guerra di successione spagnola",
     "1701-1714"},
    // 103 (II) Guerra di successione polacca
    {"TODO: Guerra di successione polacca",
     "1733-1735"},
    // 104 (II) Guerra di successione austriaca
    {"TODO: Guerra di successione austriaca",
     "1740-1748"},
    // 105 (II) Guerra dei 7 anni
    {"TODO: Guerra dei 7 anni",
     "1756-1763"},
    // 106 (II) indipendenza americana, USA
    {"TODO: indipendenza americana, USA",
     "1775-1783"},
    // 107 (II) Stati Generali
    {"TODO: Stati Generali",
     "1788"},
    // 108 (II) Rivoluzione Francese
    {"TODO: Rivoluzione Francese",
     "1789"},
    // 109 (II) costituzione francese
    {"TODO: costituzione francese",
     "1791"},
    // 110 (II) Luigi XVI ghigliottinato
    {"TODO: Luigi XVI ghigliottinato",
     "1793"},
    // 111 (II) Direttorio
    {"TODO: Direttorio",
     "1795"},
    // 112 (III) Napoleone I imperatore
    {"TODO: Napoleone I imperatore",
     "1804"},
    // 113 (III) Waterloo
    {"TODO: Waterloo",
     "1815"},
    // 114 (III) Congresso di Vienna, Restaurazione
    {"TODO: Congresso di Vienna, Restaurazione",
     "1814-1815"},
    // 115 (III) indipendenza della Grecia
    {"TODO: indipendenza della Grecia",
     "1829"},
    // 116 (III) indipendenze in America Latina
    {"TODO: indipendenze in America Latina",
     "1810-1830"},
    // 117 (III) fondazione della Giovine Italia
    {"TODO: fondazione della Giovine Italia",
     "1831"},
    // 118 (III) Manifesto del partito comunista
    {"TODO: Manifesto del partito comunista",
     "1848"},
    // 119 (III) anno delle rivoluzioni
    {"Anno delle rivoluzioni in tutta Europa. Si lotta per la giustizia sociale, per i diritti politici e per l'indipendenza.",
     "1848"},
    // 120 (III) Napoleone III, secondo impero
    {"TODO: Napoleone III, secondo impero",
     "1852"},
    // 121 (III) prima guerra d'indipendenza italiana
    {"TODO: prima guerra d'indipendenza italiana",
     "1848"},
    // 122 (III) Patto di Plombières
    {"TODO: Patto di Plombières",
     "1858"},
    // 123 (III) seconda guerra d'indipendenza italiana
    {"TODO: seconda guerra d'indipendenza italiana",
     "1859"},
    // 124 (III) Spedizione dei mille
    {"TODO: Spedizione dei mille",
     "1860"},
    // 125 (III) Regno d'Italia
    {"TODO: Regno d'Italia",
     "1861"},
    // 126 (III) III guerra d'indipendenza, Veneto
    {"TODO: III guerra d'indipendenza, Veneto",
     "1866"},
    // 127 (III) Sedan, Roma capitale
    {"TODO: Sedan, Roma capitale",
     "1870"},
    // 128 (III) prima locomotiva a vapore
    {"TODO: prima locomotiva a vapore",
     "1813"},
    // 129 (III) cemento armato
    {"TODO: cemento armato",
     "1867"},
    // 130 (III) dinamo, elettricità
    {"TODO: dinamo, elettricità",
     "1860-1870"},
    // 131 (III) motore a scoppio
    {"TODO: motore a scoppio",
     "1866"},
    // 132 (III) Comune di Parigi
    {"TODO: Comune di Parigi",
     "1871"},
    // 133 (III) impero tedesco (I Reich)
    {"TODO: impero tedesco (I Reich)",
     "1871"},
    // 134 (III) impero austro-ungarico
    {"TODO: impero austro-ungarico",
     "1867"},
    // 135 (III) spartizione dell'Africa
    {"TODO: spartizione dell'Africa",
     "1885"},
    // 136 (III) Congresso di Berlino
    {"TODO: Congresso di Berlino",
     "1878"},
    // 137 (III) Giappone vince la Russia
    {"TODO: Giappone vince la Russia",
     "1905"},
    // 138 (III) guerra di secessione negli USA
    {"TODO: guerra di secessione negli USA",
     "1861-1865"},
    // 139 (III) emigrazione italiana
    {"TODO: emigrazione italiana",
     "1876-1900"},
    // 140 (III) Triplice Alleanza
    {"TODO: Triplice Alleanza",
     "1882"},
    // 141 (III) Darwin, L'origine delle specie
    {"TODO: Darwin, L'origine delle specie",
     "1859"},
    // 142 (III) Pasteur, microrganismi e vaccini
    {"TODO: Pasteur, microrganismi e vaccini",
     "1861"},
    // 143 (III) assassinio di Umberto I
    {"TODO: assassinio di Umberto I",
     "1900"},
    // 144 (III) Età Giolittiana
    {"TODO: Età Giolittiana",
     "1903-1914"},
    // 145 (III) guerra all'impero ottomano, Libia
    {"TODO: guerra all'impero ottomano, Libia",
     "1911"},
    // 146 (III) Fleming, Penicillina
    {"TODO: Fleming, Penicillina",
     "1929"},
    // 147 (III) Freud, Psicoanalisi
    {"TODO: Freud, Psicoanalisi",
     "1917"},
    // 148 (III) Bohr, atomi
    {"TODO: Bohr, atomi",
     "1913"},
    // 149 (III) Einstein, relatività
    {"TODO: Einstein, relatività",
     "1916"},
    // 150 (III) I guerra mondiale
    {"TODO: I guerra mondiale",
     "1914-1918"},
    // 151 (III) Trattato di Londra, Italia in guerra
    {"TODO: Trattato di Londra, Italia in guerra",
     "1915"},
    // 152 (III) Trattati di Versailles e S.Germain
    {"TODO: Trattati di Versailles e S.Germain",
     "1919-1920"},
    // 153 (III) Rivoluzione russa
    {"TODO: Rivoluzione russa",
     "1917"},
    // 154 (III) nascita dell'URSS
    {"TODO: nascita dell'URSS",
     "1922"},
    // 155 (III) crollo di Wall Street
    {"TODO: crollo di Wall Street",
     "1929"},
    // 156 (III) Biennio rosso
    {"TODO: Biennio rosso",
     "1919-1920"},
    // 157 (III) Marcia su Roma
    {"TODO: Marcia su Roma",
     "1922"},
    // 158 (III) maggioranza fascista, regime
    {"TODO: maggioranza fascista, regime",
     "1924"},
    // 159 (III) Patti Lateranensi
    {"TODO: Patti Lateranensi",
     "1929"},
    // 160 (III) conquista dell'Etiopia
    {"TODO: conquista dell'Etiopia",
     "1935-36"},
    // 161 (III) collettivizzazione di Stalin
    {"TODO: collettivizzazione di Stalin",
     "1927-1937"},
    // 162 (III) Hitler al potere, III Reich
    {"TODO: Hitler al potere, III Reich",
     "1933"},
    // 163 (III) II guerra mondiale
    {"TODO: II guerra mondiale",
     "1939-1945"},
    // 164 (III) guerra civile spagnola
    {"TODO: guerra civile spagnola",
     "1936-1939"},
    // 165 (III) Midway, El Alamein, Stalingrado
    {"TODO: Midway, El Alamein, Stalingrado",
     "1942"},
    // 166 (III) Hiroshima e Nagasaki
    {"TODO: Hiroshima e Nagasaki",
     "1945"},
    // 167 (III) Italia in guerra con la Germania
    {"TODO: Italia in guerra con la Germania",
     "1940"},
    // 168 (III) arresto di Mussolini, armistizio
    {"TODO: arresto di Mussolini, armistizio",
     "1943"},
    // 169 (III) guerra di Liberazione
    {"TODO: guerra di Liberazione",
     "1943-1945"},
    // 170 (III) Liberazione dell'Italia
    {"Liberazione dell'Italia dal Nazi-fascismo. In Italia termina la guerra.",
     "25-4-1945"},
    // 171 (III) Yalta, i 4 grandi
    {"TODO: Yalta, i 4 grandi",
     "1945"},
    // 172 (III) nascita dell'ONU
    {"TODO: nascita dell'ONU",
     "1945"},
    // 173 (III) nascita della NATO
    {"TODO: nascita della NATO",
     "1949"},
    // 174 (III) Patto di Varsavia
    {"TODO: Patto di Varsavia",
     "1955"},
    // 175 (III) Piano Marshall
    {"TODO: Piano Marshall",
     "1947"},
    // 176 (III) Guerra fredda
    {"TODO: Guerra fredda",
     "1946-1963"},
    // 177 (III) nascita della Repubblica italiana
    {"TODO: nascita della Repubblica italiana",
     "2-6-1946"},
    // 178 (III) Costituzione della Repubblica Italiana
    {"TODO: Costituzione della Repubblica Italiana",
     "1-1-1948"},
    // 179 (III) elezioni vinte dalla DC
    {"TODO: elezioni vinte dalla DC",
     "aprile 1948"},
    // 180 (III) governi di centro-sinistra
    {"TODO: governi di centro-sinistra",
     "1963"},
    // 181 (III) anni di piombo
    {"TODO: anni di piombo",
     "1969-1980"},
    // 182 (III) rivolta degli studenti
    {"TODO: rivolta degli studenti",
     "1968"},
    // 183 (III) nascita della CEE
    {"TODO: nascita della CEE",
     "1957"},
    // 184 (III) Gorbaciov presidente dell'URSS
    {"TODO: Gorbaciov presidente dell'URSS",
     "1985"},
    // 185 (III) caduta dei governi socialisti dell'Est
    {"TODO: caduta dei governi socialisti dell'Est",
     "1989"},
    // 186 (III) riunificazione della Germania
    {"TODO: riunificazione della Germania",
     "1990"},
    // 187 (III) fine dell'URSS
    {"TODO: fine dell'URSS",
     "1991"},
    // 188 (III) dissoluzione della Federazione yugoslava
    {"TODO: dissoluzione della Federazione yugoslava",
     "1990"},
    // 189 (III) decolonizzazione
    {"TODO: decolonizzazione",
     "1945-1980"},
}};

// Entry k (1..45) names row kEssentialRows[k - 1]; entry 45 names row 1 again.
const std::array<int, FactTable::kEssentialEntries> kEssentialRows{
    1, 9, 12, 14, 21, 25, 29, 32, 44, 48, 51, 54, 55, 56, 62,
    72, 75, 79, 82, 85, 96, 99, 106, 108, 112, 114, 119, 125, 133, 150,
    153, 157, 161, 162, 163, 167, 168, 169, 171, 177, 183, 185, 187, 189, 1,
};

}  // namespace content
