// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/factdata.h"

namespace content {

// Rows 1 to 189 in table order. Each fact is written so that it never states its own date.
const std::array<FactSource, FactTable::kRows> kFactSource{{
    // 1 (IV) AUSTRALOPITECO in Africa
    {"Compare, in Africa, l'AUSTRALOPITECO, il primo ominide che può muoversi senza aiutarsi con "
     "le zampe anteriori.",
     "5 milioni a.fa"},
    // 2 (IV) TECNICA e PALEOLITICO
    {"Gli ominidi scheggiano le prime pietre per farne strumenti: nasce la TECNICA e comincia il "
     "PALEOLITICO.",
     "3 milioni a.fa"},
    // 3 (IV) HOMO ERECTUS
    {"Compare in Africa l'HOMO ERECTUS: cammina ben eretto, è più alto e ha un cervello più grande "
     "dei suoi antenati.",
     "2 milioni a.fa"},
    // 4 (IV) uso volontario del fuoco
    {"L'uomo impara a usare volontariamente il FUOCO e a conservarlo: lo usa per scaldarsi, "
     "cuocere il cibo e difendersi.",
     "700 000 a.fa"},
    // 5 (IV) più antico ominide in EUROPA
    {"Il più antico reperto di ominide, in EUROPA, risale a....", "500 000 a.fa"},
    // 6 (IV) più antichi reperti di HOMO SAPIENS
    {"I più antichi reperti di HOMO SAPIENS (trovati in Africa), risalgono a.....", "400 000 a.fa"},
    // 7 (IV) quarta GLACIAZIONE
    {"Comincia la penultima grande GLACIAZIONE, detta di RISS: i ghiacciai coprono le Alpi e il "
     "Nord dell'Europa.",
     "200 000 a.fa"},
    // 8 (IV) diffusione dei Neanderthaliani
    {"Gli uomini di NEANDERTHAL si diffondono in Europa e nel Vicino Oriente: sono cacciatori "
     "robusti, adatti al freddo.",
     "150 000 a.fa"},
    // 9 (IV) HOMO SAPIENS SAPIENS
    {"L'HOMO SAPIENS SAPIENS, l'uomo moderno, arriva in EUROPA, dove incontra gli uomini di "
     "NEANDERTHAL.",
     "45 000 a.fa"},
    // 10 (IV) HOMO SAPIENS nelle caverne
    {"Durante il freddo glaciale l'HOMO SAPIENS si ripara nelle CAVERNE e dipinge sulle pareti "
     "gli animali che caccia.",
     "20 000 a.fa"},
    // 11 (IV) fine glaciazione, MESOLITICO
    {"Finisce l'ultima GLACIAZIONE e il clima si fa più mite: comincia il MESOLITICO, si caccia "
     "con arco e frecce e si pesca.",
     "13 000 a.fa"},
    // 12 (IV) AGRICOLTURA e NEOLITICO
    {"Nella MEZZALUNA FERTILE l'uomo inventa l'AGRICOLTURA e addomestica i primi animali da "
     "allevamento: comincia il NEOLITICO.",
     "11 000 a.fa"},
    // 13 (IV) primo metallo: il RAME
    {"Si diffonde la lavorazione del RAME, il primo metallo usato dall'uomo per fare armi, "
     "attrezzi e ornamenti.",
     "6 000 a fa"},
    // 14 (IV) fine PREISTORIA, prime città
    {"In MESOPOTAMIA nascono le prime CITTÀ dei SUMERI; con l'invenzione della SCRITTURA finisce "
     "la PREISTORIA.",
     "3500 a.C."},
    // 15 (IV) unificazione di ALTO e BASSO EGITTO
    {"Secondo la tradizione, il faraone MENES, forse lo stesso NARMER, unisce l'ALTO e il BASSO "
     "EGITTO in un solo regno.",
     "3125 a.C."},
    // 16 (IV) CODICE di HAMMURABI
    {"HAMMURABI, re di BABILONIA, fa incidere su una stele di pietra il suo CODICE di leggi, con "
     "pene diverse secondo la classe sociale.",
     "1760 a.C."},
    // 17 (IV) dominio degli ACCADI
    {"SARGON, re degli ACCADI, conquista le città dei Sumeri e crea il primo grande impero della "
     "MESOPOTAMIA.",
     "2350 a.C."},
    // 18 (IV) ASSIRI in MESOPOTAMIA
    {"Gli ASSIRI, popolo di guerrieri, rafforzano il loro regno nel nord della MESOPOTAMIA e "
     "tornano a espandersi.",
     "1150 a.C."},
    // 19 (IV) EBREI nella terra di CANAAN
    {"Secondo la Bibbia, ABRAMO lascia la Mesopotamia con la sua famiglia per la terra di CANAAN: "
     "da lui discendono gli EBREI.",
     "1800 a.C."},
    // 20 (IV) MOSE', fuga dall'EGITTO
    {"Secondo la Bibbia, MOSÈ guida gli EBREI fuori dall'EGITTO, dove erano schiavi, verso la "
     "Terra Promessa.",
     "1200 a.C."},
    // 21 (V) migrazione delle popolazioni INDOEUROPEE
    {"Le popolazioni INDOEUROPEE lasciano le steppe tra il Mar Nero e il Mar Caspio e migrano "
     "verso l'Europa e l'India.",
     "4000 a.fa"},
    // 22 (V) Dori in Grecia
    {"I DORI, popolo del nord, scendono in GRECIA e si stabiliscono soprattutto nel PELOPONNESO.",
     "XI sec.a.C"},
    // 23 (V) fine della CIVILTA' MINOICA
    {"I MICENEI conquistano CRETA e il palazzo di CNOSSO: tramonta la splendida CIVILTÀ MINOICA.",
     "1450 a.C."},
    // 24 (V) SOLONE e le leggi di Atene
    {"SOLONE riforma le leggi di ATENE: abolisce la schiavitù per debiti e divide i cittadini in "
     "base alla ricchezza.",
     "594 a.C."},
    // 25 (V) CLISTENE, costituzione DEMOCRATICA
    {"CLISTENE divide ATENE in dieci tribù e dà uguali diritti a tutti i cittadini maschi: nasce "
     "la costituzione DEMOCRATICA.",
     "508 a.C."},
    // 26 (V) guerre contro i PERSIANI
    {"Le città greche, guidate da ATENE e SPARTA, combattono contro i PERSIANI e li sconfiggono a "
     "MARATONA, SALAMINA e PLATEA.",
     "490-479 a.C."},
    // 27 (V) PERICLE governa Atene
    {"Comincia il governo di PERICLE: ATENE diventa la città più ricca, potente e splendida della "
     "Grecia.",
     "460 a.C."},
    // 28 (V) FILIPPO II DI MACEDONIA, CHERONEA
    {"FILIPPO II DI MACEDONIA sconfigge Atene e Tebe a CHERONEA e diventa padrone della GRECIA.",
     "338 a.C."},
    // 29 (V) impero di ALESSANDRO MAGNO
    {"ALESSANDRO MAGNO attraversa lo stretto dell'Ellesponto e comincia la conquista dell'IMPERO "
     "PERSIANO.",
     "334 a.C."},
    // 30 (V) ETRUSCHI verso l'Adriatico
    {"Gli ETRUSCHI si espandono nella PIANURA PADANA fino al mare ADRIATICO, dove fondano il porto "
     "di SPINA.",
     "VI sec a.C."},
    // 31 (V) Celti nel Nord Italia
    {"I CELTI, chiamati GALLI dai Romani, si stabiliscono nel Nord Italia e arrivano a "
     "saccheggiare ROMA.",
     "IV sec a.C."},
    // 32 (V) fondazione di ROMA
    {"ROMOLO, secondo la leggenda, fonda ROMA.", "753 a.C."},
    // 33 (V) inizio della REPUBBLICA
    {"I Romani cacciano il re TARQUINIO IL SUPERBO: nasce la REPUBBLICA, guidata da due CONSOLI.",
     "509 a.C."},
    // 34 (V) TRIBUNO DELLA PLEBE
    {"I PLEBEI, oppressi dai debiti, si ribellano ai patrizi: la loro lotta porta alla nascita dei "
     "TRIBUNI DELLA PLEBE.",
     "495 a.C."},
    // 35 (V) battaglia di SENTINO
    {"A SENTINO i Romani sconfiggono Sanniti e Galli, alleati degli Etruschi e degli Umbri.",
     "295 a.C"},
    // 36 (V) GUERRE SANNITICHE
    {"ROMA conclude vittoriosa le GUERRE SANNITICHE e domina l'Italia centrale.", "290 a.C."},
    // 37 (V) guerra contro TARANTO e PIRRO
    {"ROMA combatte contro TARANTO e il suo alleato PIRRO, re dell'EPIRO, che ha portato in Italia "
     "gli ELEFANTI da guerra.",
     "276 a.C."},
    // 38 (V) prima GUERRA PUNICA
    {"Con la vittoria navale alle isole EGADI, ROMA vince la prima GUERRA PUNICA contro CARTAGINE "
     "e ottiene la SICILIA.",
     "241 a.C."},
    // 39 (V) ANNIBALE, seconda guerra punica
    {"SCIPIONE sconfigge ANNIBALE a ZAMA: ROMA vince la seconda GUERRA PUNICA.", "202 a.C."},
    // 40 (V) TIBERIO GRACCO
    {"Il tribuno Tiberio GRACCO vuole dare le terre pubbliche ai contadini poveri, ma viene ucciso "
     "dai senatori.",
     "133 a.C."},
    // 41 (V) ribellione dei popoli italici
    {"I popoli ITALICI alleati si ribellano a ROMA per ottenere la cittadinanza romana: è la "
     "GUERRA SOCIALE.",
     "90 a.C."},
    // 42 (V) guerra civile tra CESARE e POMPEO
    {"Giulio CESARE, che ha sconfitto POMPEO nella GUERRA CIVILE, combatte in Egitto e in Asia "
     "Minore: «Venni, vidi, vinsi».",
     "47 a.C."},
    // 43 (V) assassinio di CESARE
    {"Giulio CESARE viene ucciso in Senato alle IDI DI MARZO dai congiurati guidati da BRUTO e "
     "CASSIO.",
     "44 a.C."},
    // 44 (V) OTTAVIANO, battaglia di AZIO
    {"OTTAVIANO sconfigge ANTONIO e CLEOPATRA nella battaglia navale di AZIO e resta solo al "
     "potere.",
     "31 a.C."},
    // 45 (V) crisi dell'impero romano
    {"L'IMPERO ROMANO attraversa una grave crisi: gli imperatori cambiano di continuo e i barbari "
     "premono ai confini.",
     "III sec d.C."},
    // 46 (V) Diocleziano imperatore
    {"DIOCLEZIANO, rimasto solo al potere, sceglie MASSIMIANO come collega e riorganizza l'impero.",
     "285"},
    // 47 (V) EDITTO DI MILANO
    {"Con l'EDITTO DI MILANO l'imperatore COSTANTINO concede ai cristiani la libertà di culto.",
     "313"},
    // 48 (V) fine dell'IMPERO ROMANO D'OCCIDENTE
    {"ODOACRE, re degli Eruli, depone l'ultimo imperatore ROMOLO AUGUSTOLO: finisce l'IMPERO "
     "ROMANO D'OCCIDENTE.",
     "476"},
    // 49 (I) Giustiniano riconquista l'Italia
    {"L'imperatore bizantino GIUSTINIANO completa la riconquista dell'ITALIA dopo una lunga guerra "
     "contro i GOTI.",
     "553"},
    // 50 (I) invasione dei Longobardi
    {"ALBOINO, re dei LONGOBARDI, sconfigge i Gepidi e si prepara a invadere l'ITALIA con tutto il "
     "suo popolo.",
     "567"},
    // 51 (I) EGIRA di MAOMETTO
    {"MAOMETTO fugge dalla MECCA a MEDINA: è l'EGIRA, da cui comincia il calendario islamico.",
     "622"},
    // 52 (I) battaglia di POITIERS
    {"CARLO MARTELLO, capo dei Franchi, ferma a POITIERS l'avanzata degli ARABI in Europa.", "732"},
    // 53 (I) CARLO MAGNO sconfigge i LONGOBARDI
    {"CARLO MAGNO conquista PAVIA, sconfigge il re DESIDERIO e diventa re dei LONGOBARDI.", "774"},
    // 54 (I) Carlo Magno imperatore, SACRO ROMANO IMPERO
    {"Carlo Magno viene incoronato imperatore del SACRO ROMANO IMPERO.", "800"},
    // 55 (I) Trattato di VERDUN
    {"Con il trattato di VERDUN i nipoti di CARLO MAGNO si dividono l'impero in tre regni.", "843"},
    // 56 (I) CAPITOLARE DI QUIERZY
    {"Con il CAPITOLARE DI QUIERZY, CARLO IL CALVO permette che i feudi maggiori passino in "
     "eredità ai figli.",
     "877"},
    // 57 (I) ARABI in SICILIA
    {"Con la presa di TAORMINA gli ARABI completano la conquista della SICILIA.", "902"},
    // 58 (I) OTTONE I imperatore
    {"OTTONE I DI SASSONIA viene incoronato imperatore a ROMA dal papa e fa rinascere il SACRO "
     "ROMANO IMPERO, ora germanico.",
     "962"},
    // 59 (I) Guglielmo conquista l'Inghilterra
    {"GUGLIELMO IL CONQUISTATORE, duca di NORMANDIA, vince a HASTINGS e diventa re d'INGHILTERRA.",
     "1066"},
    // 60 (I) Normanni in Sicilia
    {"I NORMANNI di RUGGERO D'ALTAVILLA completano la conquista della SICILIA, strappandola agli "
     "Arabi.",
     "1091"},
    // 61 (I) prima crociata
    {"All'appello di papa URBANO II parte la PRIMA CROCIATA: folle di poveri seguono PIETRO "
     "L'EREMITA verso Gerusalemme.",
     "1096"},
    // 62 (I) crociata dei baroni, Gerusalemme
    {"La CROCIATA DEI BARONI, guidata da GOFFREDO DI BUGLIONE, conquista GERUSALEMME.", "1099"},
    // 63 (I) concordato di WORMS
    {"Con il CONCORDATO DI WORMS il papa e l'imperatore mettono fine alla LOTTA PER LE "
     "INVESTITURE.",
     "1122"},
    // 64 (I) Federico Barbarossa imperatore
    {"FEDERICO BARBAROSSA scende per la prima volta in ITALIA per farsi incoronare imperatore e "
     "sottomettere i Comuni.",
     "1154"},
    // 65 (I) sconfitta del Barbarossa a Legnano
    {"La LEGA LOMBARDA sconfigge l'imperatore FEDERICO BARBAROSSA nella battaglia di LEGNANO.",
     "1176"},
    // 66 (I) Federico II imperatore
    {"FEDERICO II DI SVEVIA, re di Sicilia, viene incoronato imperatore a ROMA dal papa.", "1220"},
    // 67 (I) ordine francescano
    {"Il papa approva la regola di SAN FRANCESCO D'ASSISI: nasce ufficialmente l'ORDINE "
     "FRANCESCANO.",
     "1223"},
    // 68 (I) sconfitta di Benevento, Angiò
    {"MANFREDI, figlio di FEDERICO II, muore a BENEVENTO combattendo contro CARLO D'ANGIÒ, nuovo "
     "re di Sicilia.",
     "1266"},
    // 69 (I) Sicilia agli aragonesi
    {"Con i VESPRI SICILIANI l'isola si ribella agli Angioini e i siciliani offrono la corona a "
     "PIETRO III D'ARAGONA.",
     "1282"},
    // 70 (I) Turchi e impero bizantino
    {"I TURCHI OTTOMANI, guidati da OSMAN, cominciano ad attaccare le terre dell'IMPERO BIZANTINO "
     "in Anatolia.",
     "1301"},
    // 71 (I) Bonifacio VIII, supremazia del Papa
    {"Con la bolla UNAM SANCTAM papa BONIFACIO VIII afferma la supremazia del PAPA su tutti i re.",
     "1302"},
    // 72 (I) papato ad Avignone
    {"Muore papa BENEDETTO XI: il re di Francia FILIPPO IL BELLO vuole far eleggere un papa "
     "francese, che andrà ad AVIGNONE.",
     "1304"},
    // 73 (I) grande carestia in Europa
    {"Piogge e freddo rovinano i raccolti: una GRANDE CARESTIA colpisce l'Europa e molti muoiono "
     "di fame.",
     "1315"},
    // 74 (I) inizio della guerra dei 100 anni
    {"Nella GUERRA DEI CENT'ANNI, da poco cominciata, il re d'Inghilterra EDOARDO III guida la sua "
     "prima grande spedizione in FRANCIA.",
     "1339"},
    // 75 (I) epidemia di peste
    {"La PESTE NERA, arrivata dall'Oriente, si diffonde in tutta Europa e uccide circa un terzo "
     "della popolazione.",
     "1348"},
    // 76 (I) Aragona e Regno di Napoli
    {"Alla morte della regina GIOVANNA II, ALFONSO D'ARAGONA rivendica il REGNO DI NAPOLI.",
     "1435"},
    // 77 (I) Asburgo e corona imperiale
    {"Muore l'imperatore SIGISMONDO: il genero ALBERTO D'ASBURGO sarà re di Germania e quasi ogni "
     "imperatore sarà un ASBURGO.",
     "1437"},
    // 78 (I) Concilio di Basilea
    {"Si chiude il CONCILIO DI BASILEA, che voleva mettere l'assemblea dei vescovi al di sopra del "
     "PAPA.",
     "1449"},
    // 79 (I) fine dell'impero bizantino
    {"I TURCHI di MAOMETTO II conquistano COSTANTINOPOLI: finisce l'IMPERO BIZANTINO.", "1453"},
    // 80 (II) pace di Lodi, stampa
    {"Con la PACE DI LODI gli stati italiani trovano un equilibrio. In Germania GUTENBERG stampa "
     "la BIBBIA con i caratteri mobili.",
     "1454"},
    // 81 (II) nascita del Regno di Spagna
    {"ISABELLA, erede di CASTIGLIA, sceglie come sposo FERDINANDO D'ARAGONA: comincia l'unione da "
     "cui nascerà la SPAGNA.",
     "1468"},
    // 82 (II) Colombo scopre l'America
    {"Cristoforo Colombo scopre l'America. Gli spagnoli cominciano a colonizzare il Centro ed il "
     "Sud America.",
     "1492"},
    // 83 (II) Carlo VIII e Regno di Napoli
    {"CARLO VIII, re di Francia, scende in ITALIA con un grande esercito per conquistare il REGNO "
     "DI NAPOLI.",
     "1494"},
    // 84 (II) Luigi XII conquista Milano
    {"LUIGI XII, nuovo re di Francia, rivendica il DUCATO DI MILANO e prepara la conquista.",
     "1498"},
    // 85 (II) tesi di Martin Lutero
    {"Martin LUTERO pubblica le sue TESI contro la vendita delle INDULGENZE: comincia la RIFORMA "
     "PROTESTANTE.",
     "1517"},
    // 86 (II) Carlo V imperatore
    {"CARLO V D'ASBURGO, già re di Spagna, viene eletto imperatore: sul suo impero «non tramonta "
     "mai il sole».",
     "1519"},
    // 87 (II) Concilio di Trento
    {"Il CONCILIO DI TRENTO approva i suoi primi decreti: la Chiesa cattolica risponde ai "
     "protestanti con la CONTRORIFORMA.",
     "1546"},
    // 88 (II) rinuncia di Carlo V
    {"CARLO V rinuncia al trono: lascia la SPAGNA al figlio FILIPPO II e l'impero al fratello "
     "FERDINANDO.",
     "1556"},
    // 89 (II) Elisabetta I regina d'Inghilterra
    {"ELISABETTA I, figlia di ENRICO VIII, diventa regina d'INGHILTERRA e ne farà una grande "
     "potenza sul mare.",
     "1558"},
    // 90 (II) pace di Cateau Cambrésis
    {"Con la pace di CATEAU-CAMBRÉSIS la Francia rinuncia all'Italia, che passa in gran parte "
     "sotto il dominio SPAGNOLO.",
     "1559"},
    // 91 (II) indipendenza dell'Olanda
    {"Le PROVINCE UNITE dei PAESI BASSI si dichiarano indipendenti dal re di Spagna FILIPPO II.",
     "1581"},
    // 92 (II) sconfitta dell'Armada spagnola
    {"La flotta inglese di ELISABETTA I sconfigge l'INVINCIBILE ARMATA del re di Spagna FILIPPO "
     "II.",
     "1588"},
    // 93 (II) Enrico IV re di Francia
    {"ENRICO IV DI BORBONE si converte al cattolicesimo per essere accettato come re di FRANCIA: "
     "«Parigi val bene una messa».",
     "1593"},
    // 94 (II) Editto di Nantes
    {"Con l'EDITTO DI NANTES, ENRICO IV concede libertà di culto ai protestanti UGONOTTI.", "1598"},
    // 95 (II) inizio della Guerra dei 30 anni
    {"Con la DEFENESTRAZIONE DI PRAGA comincia la GUERRA DEI TRENT'ANNI tra principi cattolici e "
     "protestanti.",
     "1618"},
    // 96 (II) Galileo e l'Inquisizione
    {"Galileo GALILEI viene processato dall'INQUISIZIONE e costretto a rinnegare l'idea che la "
     "Terra giri intorno al Sole.",
     "1633"},
    // 97 (II) inizio della guerra civile inglese
    {"In INGHILTERRA scoppia la GUERRA CIVILE tra il re CARLO I e il PARLAMENTO.", "1642"},
    // 98 (II) Pace di Westfalia
    {"La PACE DI VESTFALIA mette fine alla GUERRA DEI TRENT'ANNI: l'Europa è ora divisa in stati "
     "sovrani.",
     "1648"},
    // 99 (II) Luigi XIV, Monarchia Assoluta
    {"Morto il cardinale MAZZARINO, LUIGI XIV, il RE SOLE, governa da solo: è la MONARCHIA "
     "ASSOLUTA.",
     "1661"},
    // 100 (II) fine della guerra civile inglese
    {"Con la GLORIOSA RIVOLUZIONE il PARLAMENTO inglese caccia il re GIACOMO II: finisce la lunga "
     "lotta tra re e Parlamento.",
     "1688"},
    // 101 (II) Pace di Carlowitz
    {"Con la PACE DI CARLOWITZ i TURCHI cedono gran parte dell'UNGHERIA all'AUSTRIA: comincia il "
     "declino dell'impero ottomano.",
     "1699"},
    // 102 (II) Guerra di successione spagnola
    {"Nella GUERRA DI SUCCESSIONE SPAGNOLA le potenze europee si contendono il trono di Spagna, "
     "rimasto senza eredi.",
     "1701-1714"},
    // 103 (II) Guerra di successione polacca
    {"Nella GUERRA DI SUCCESSIONE POLACCA l'Europa si divide sulla scelta del re di POLONIA; i "
     "BORBONE ottengono Napoli e la Sicilia.",
     "1733-1735"},
    // 104 (II) Guerra di successione austriaca
    {"Nella GUERRA DI SUCCESSIONE AUSTRIACA, MARIA TERESA difende il suo diritto al trono "
     "d'AUSTRIA contro la PRUSSIA.",
     "1740-1748"},
    // 105 (II) Guerra dei 7 anni
    {"Nella GUERRA DEI SETTE ANNI l'INGHILTERRA sconfigge la FRANCIA e le toglie il CANADA e il "
     "controllo dell'INDIA.",
     "1756-1763"},
    // 106 (II) indipendenza americana, USA
    {"Le tredici COLONIE inglesi d'America combattono per l'INDIPENDENZA: nascono gli STATI UNITI "
     "D'AMERICA.",
     "1775-1783"},
    // 107 (II) Stati Generali
    {"La Francia è in bancarotta: il re LUIGI XVI annuncia la convocazione degli STATI GENERALI, "
     "che non si riuniscono dal Seicento.",
     "1788"},
    // 108 (II) Rivoluzione Francese
    {"Il popolo di Parigi prende d'assalto la BASTIGLIA: comincia la RIVOLUZIONE FRANCESE.",
     "1789"},
    // 109 (II) costituzione francese
    {"L'Assemblea approva la prima COSTITUZIONE francese: la Francia diventa una MONARCHIA "
     "COSTITUZIONALE.",
     "1791"},
    // 110 (II) Luigi XVI ghigliottinato
    {"Il re LUIGI XVI, accusato di tradimento, viene GHIGLIOTTINATO a Parigi.", "1793"},
    // 111 (II) Direttorio
    {"Finito il Terrore, la Francia viene governata dal DIRETTORIO, formato da cinque direttori.",
     "1795"},
    // 112 (III) Napoleone I imperatore
    {"Napoleone BONAPARTE si incorona da solo IMPERATORE DEI FRANCESI nella cattedrale di "
     "Notre-Dame.",
     "1804"},
    // 113 (III) Waterloo
    {"A WATERLOO inglesi e prussiani sconfiggono per sempre NAPOLEONE, che viene esiliato a "
     "Sant'Elena.",
     "1815"},
    // 114 (III) Congresso di Vienna, Restaurazione
    {"Al CONGRESSO DI VIENNA le grandi potenze ridisegnano l'Europa e riportano sul trono i vecchi "
     "sovrani: è la RESTAURAZIONE.",
     "1814-1815"},
    // 115 (III) indipendenza della Grecia
    {"Con la pace di ADRIANOPOLI l'impero ottomano è costretto ad accettare la nascita di uno "
     "stato GRECO libero.",
     "1829"},
    // 116 (III) indipendenze in America Latina
    {"Le colonie dell'AMERICA LATINA si ribellano a Spagna e Portogallo: BOLÍVAR e SAN MARTÍN "
     "guidano le lotte per l'indipendenza.",
     "1810-1830"},
    // 117 (III) fondazione della Giovine Italia
    {"Giuseppe MAZZINI fonda la GIOVINE ITALIA per fare dell'Italia una repubblica unita e "
     "indipendente.",
     "1831"},
    // 118 (III) Manifesto del partito comunista
    {"Karl MARX e Friedrich ENGELS pubblicano il MANIFESTO DEL PARTITO COMUNISTA: «Proletari di "
     "tutto il mondo, unitevi!»",
     "1848"},
    // 119 (III) anno delle rivoluzioni
    {"Anno delle rivoluzioni in tutta Europa. Si lotta per la giustizia sociale, per i diritti "
     "politici e per l'indipendenza.",
     "1848"},
    // 120 (III) Napoleone III, secondo impero
    {"Un plebiscito fa del presidente Luigi Napoleone BONAPARTE l'imperatore NAPOLEONE III: nasce "
     "il SECONDO IMPERO.",
     "1852"},
    // 121 (III) prima guerra d'indipendenza italiana
    {"Il re CARLO ALBERTO DI SAVOIA dichiara guerra all'AUSTRIA: comincia la prima GUERRA "
     "D'INDIPENDENZA italiana.",
     "1848"},
    // 122 (III) Patto di Plombières
    {"CAVOUR e NAPOLEONE III si accordano in segreto a PLOMBIÈRES per cacciare gli austriaci dal "
     "Nord Italia.",
     "1858"},
    // 123 (III) seconda guerra d'indipendenza italiana
    {"Seconda GUERRA D'INDIPENDENZA: francesi e piemontesi vincono a SOLFERINO e SAN MARTINO; il "
     "Piemonte ottiene la LOMBARDIA.",
     "1859"},
    // 124 (III) Spedizione dei mille
    {"Giuseppe GARIBALDI parte da Quarto con la SPEDIZIONE DEI MILLE e libera la Sicilia e il Sud "
     "dai BORBONE.",
     "1860"},
    // 125 (III) Regno d'Italia
    {"Nasce il REGNO D'ITALIA: VITTORIO EMANUELE II diventa il primo re degli italiani.", "1861"},
    // 126 (III) III guerra d'indipendenza, Veneto
    {"Con la terza GUERRA D'INDIPENDENZA, combattuta accanto alla Prussia, l'ITALIA ottiene il "
     "VENETO.",
     "1866"},
    // 127 (III) Sedan, Roma capitale
    {"I prussiani sconfiggono NAPOLEONE III a SEDAN; i bersaglieri entrano a ROMA dalla breccia di "
     "PORTA PIA.",
     "1870"},
    // 128 (III) prima locomotiva a vapore
    {"In Inghilterra entrano in servizio alcune delle prime LOCOMOTIVE A VAPORE, che trainano "
     "vagoni di carbone sulle rotaie.",
     "1813"},
    // 129 (III) cemento armato
    {"Il giardiniere francese Joseph MONIER brevetta il CEMENTO ARMATO, rinforzato con una rete di "
     "ferro.",
     "1867"},
    // 130 (III) dinamo, elettricità
    {"Antonio PACINOTTI in Italia e Werner SIEMENS in Germania inventano separatamente la DINAMO, "
     "che produce ELETTRICITÀ.",
     "1860-1870"},
    // 131 (III) motore a scoppio
    {"In Germania Nikolaus OTTO ed Eugen LANGEN brevettano un MOTORE A SCOPPIO a gas, che brucia "
     "il combustibile al suo interno.",
     "1866"},
    // 132 (III) Comune di Parigi
    {"Gli operai di Parigi insorgono e formano la COMUNE DI PARIGI, che viene schiacciata nel "
     "sangue dopo circa due mesi.",
     "1871"},
    // 133 (III) impero tedesco (I Reich)
    {"A VERSAILLES il re di Prussia GUGLIELMO I viene proclamato imperatore: nasce l'IMPERO "
     "TEDESCO voluto da BISMARCK.",
     "1871"},
    // 134 (III) impero austro-ungarico
    {"L'impero d'Austria diventa IMPERO AUSTRO-UNGARICO: FRANCESCO GIUSEPPE è imperatore d'Austria "
     "e re d'Ungheria.",
     "1867"},
    // 135 (III) spartizione dell'Africa
    {"Con la CONFERENZA DI BERLINO le potenze europee fissano le regole per spartirsi l'AFRICA.",
     "1885"},
    // 136 (III) Congresso di Berlino
    {"Al CONGRESSO DI BERLINO le grandi potenze ridisegnano i BALCANI dopo la guerra tra Russia e "
     "Turchia.",
     "1878"},
    // 137 (III) Giappone vince la Russia
    {"Il GIAPPONE sconfigge la RUSSIA: per la prima volta in età moderna un paese asiatico batte "
     "una grande potenza europea.",
     "1905"},
    // 138 (III) guerra di secessione negli USA
    {"Negli STATI UNITI il Nord di LINCOLN vince la GUERRA DI SECESSIONE contro il Sud e abolisce "
     "la schiavitù.",
     "1861-1865"},
    // 139 (III) emigrazione italiana
    {"Milioni di ITALIANI poveri partono in cerca di lavoro ed EMIGRANO negli altri stati d'Europa "
     "e nelle AMERICHE.",
     "1876-1900"},
    // 140 (III) Triplice Alleanza
    {"ITALIA, GERMANIA e AUSTRIA-UNGHERIA firmano un'alleanza difensiva: la TRIPLICE ALLEANZA.",
     "1882"},
    // 141 (III) Darwin, L'origine delle specie
    {"Charles DARWIN pubblica «L'ORIGINE DELLE SPECIE» e spiega l'EVOLUZIONE dei viventi per "
     "selezione naturale.",
     "1859"},
    // 142 (III) Pasteur, microrganismi e vaccini
    {"Louis PASTEUR dimostra che i MICRORGANISMI non nascono dal nulla: i suoi studi porteranno ai "
     "VACCINI.",
     "1861"},
    // 143 (III) assassinio di Umberto I
    {"A MONZA l'anarchico Gaetano BRESCI uccide a colpi di pistola il re UMBERTO I.", "1900"},
    // 144 (III) Età Giolittiana
    {"Giovanni GIOLITTI guida a lungo il governo: l'Italia si industrializza e quasi tutti gli "
     "uomini ottengono il diritto di voto.",
     "1903-1914"},
    // 145 (III) guerra all'impero ottomano, Libia
    {"L'ITALIA dichiara guerra all'IMPERO OTTOMANO e sbarca in LIBIA per conquistarla.", "1911"},
    // 146 (III) Fleming, Penicillina
    {"Alexander FLEMING pubblica la scoperta della PENICILLINA, il primo antibiotico, che uccide "
     "molti batteri.",
     "1929"},
    // 147 (III) Freud, Psicoanalisi
    {"Sigmund FREUD pubblica «INTRODUZIONE ALLA PSICOANALISI», le lezioni in cui spiega "
     "l'INCONSCIO, la parte nascosta della mente.",
     "1917"},
    // 148 (III) Bohr, atomi
    {"Niels BOHR descrive l'ATOMO con gli elettroni che girano intorno al nucleo su orbite fisse.",
     "1913"},
    // 149 (III) Einstein, relatività
    {"Albert EINSTEIN pubblica la teoria della RELATIVITÀ GENERALE, che cambia le idee su spazio, "
     "tempo e gravità.",
     "1916"},
    // 150 (III) I guerra mondiale
    {"Dopo l'uccisione a SARAJEVO dell'erede al trono d'Austria scoppia la PRIMA GUERRA MONDIALE, "
     "combattuta nelle trincee.",
     "1914-1918"},
    // 151 (III) Trattato di Londra, Italia in guerra
    {"Con il PATTO DI LONDRA l'ITALIA si allea con Francia, Inghilterra e Russia ed entra in "
     "guerra contro l'AUSTRIA.",
     "1915"},
    // 152 (III) Trattati di Versailles e S.Germain
    {"Con i trattati di VERSAILLES e di SAINT-GERMAIN i vincitori impongono dure condizioni alla "
     "GERMANIA e all'AUSTRIA.",
     "1919-1920"},
    // 153 (III) Rivoluzione russa
    {"In RUSSIA cade lo zar e i BOLSCEVICHI di LENIN prendono il potere con la RIVOLUZIONE "
     "D'OTTOBRE.",
     "1917"},
    // 154 (III) nascita dell'URSS
    {"Nasce l'URSS, l'UNIONE DELLE REPUBBLICHE SOCIALISTE SOVIETICHE, guidata dal partito "
     "comunista.",
     "1922"},
    // 155 (III) crollo di Wall Street
    {"Crolla la Borsa di WALL STREET a New York: comincia la GRANDE CRISI economica mondiale.",
     "1929"},
    // 156 (III) Biennio rosso
    {"Nel BIENNIO ROSSO operai e contadini italiani scioperano e occupano fabbriche e terre.",
     "1919-1920"},
    // 157 (III) Marcia su Roma
    {"Con la MARCIA SU ROMA i fascisti di Benito MUSSOLINI ottengono dal re il governo "
     "dell'Italia.",
     "1922"},
    // 158 (III) maggioranza fascista, regime
    {"I fascisti vincono le elezioni con violenze e brogli; il deputato MATTEOTTI li denuncia e "
     "viene ucciso.",
     "1924"},
    // 159 (III) Patti Lateranensi
    {"Con i PATTI LATERANENSI lo Stato italiano e la Chiesa fanno pace: nasce la CITTÀ DEL "
     "VATICANO.",
     "1929"},
    // 160 (III) conquista dell'Etiopia
    {"L'ITALIA fascista invade e conquista l'ETIOPIA e MUSSOLINI proclama l'IMPERO.", "1935-36"},
    // 161 (III) collettivizzazione di Stalin
    {"STALIN prende il potere in URSS, toglie la terra ai contadini e impone la "
     "COLLETTIVIZZAZIONE: milioni di persone muoiono.",
     "1927-1937"},
    // 162 (III) Hitler al potere, III Reich
    {"Adolf HITLER diventa cancelliere della Germania e instaura la dittatura nazista: nasce il "
     "TERZO REICH.",
     "1933"},
    // 163 (III) II guerra mondiale
    {"La GERMANIA di HITLER invade la POLONIA: scoppia la SECONDA GUERRA MONDIALE, che coinvolge "
     "tutto il mondo.",
     "1939-1945"},
    // 164 (III) guerra civile spagnola
    {"In SPAGNA il generale FRANCO si ribella alla Repubblica: la GUERRA CIVILE SPAGNOLA finisce "
     "con la sua dittatura.",
     "1936-1939"},
    // 165 (III) Midway, El Alamein, Stalingrado
    {"A MIDWAY, EL ALAMEIN e STALINGRADO gli Alleati fermano Giappone, Germania e Italia: le sorti "
     "della guerra cambiano.",
     "1942"},
    // 166 (III) Hiroshima e Nagasaki
    {"Gli STATI UNITI sganciano le bombe atomiche su HIROSHIMA e NAGASAKI: il GIAPPONE si arrende.",
     "1945"},
    // 167 (III) Italia in guerra con la Germania
    {"L'ITALIA di MUSSOLINI entra in guerra al fianco della GERMANIA di HITLER.", "1940"},
    // 168 (III) arresto di Mussolini, armistizio
    {"Il re fa arrestare MUSSOLINI; poco dopo l'Italia firma l'ARMISTIZIO con gli Alleati.",
     "1943"},
    // 169 (III) guerra di Liberazione
    {"I PARTIGIANI combattono contro i tedeschi e i fascisti della Repubblica di Salò: è la "
     "RESISTENZA.",
     "1943-1945"},
    // 170 (III) Liberazione dell'Italia
    {"Liberazione dell'Italia dal Nazi-fascismo. In Italia termina la guerra.", "25-4-1945"},
    // 171 (III) Yalta, i 4 grandi
    {"ROOSEVELT, CHURCHILL e STALIN decidono a YALTA il futuro dell'Europa: la Germania sarà "
     "divisa tra quattro potenze.",
     "1945"},
    // 172 (III) nascita dell'ONU
    {"A SAN FRANCISCO molte nazioni fondano l'ONU, l'Organizzazione delle Nazioni Unite, per "
     "mantenere la pace nel mondo.",
     "1945"},
    // 173 (III) nascita della NATO
    {"Gli STATI UNITI, il CANADA e dieci paesi europei, tra cui l'Italia, firmano il Patto "
     "Atlantico: nasce la NATO.",
     "1949"},
    // 174 (III) Patto di Varsavia
    {"L'URSS e i paesi comunisti dell'Europa orientale si alleano militarmente nel PATTO DI "
     "VARSAVIA.",
     "1955"},
    // 175 (III) Piano Marshall
    {"Con il PIANO MARSHALL gli STATI UNITI offrono aiuti per ricostruire l'Europa distrutta dalla "
     "guerra.",
     "1947"},
    // 176 (III) Guerra fredda
    {"Dalla CORTINA DI FERRO, che divide l'Europa, alla crisi di CUBA: gli anni più duri della "
     "GUERRA FREDDA tra STATI UNITI e URSS.",
     "1946-1963"},
    // 177 (III) nascita della Repubblica italiana
    {"Con un REFERENDUM, in cui votano anche le donne, gli italiani scelgono la REPUBBLICA al "
     "posto della monarchia.",
     "2-6-1946"},
    // 178 (III) Costituzione della Repubblica Italiana
    {"Entra in vigore la COSTITUZIONE della REPUBBLICA ITALIANA, la legge fondamentale dello "
     "Stato.",
     "1-1-1948"},
    // 179 (III) elezioni vinte dalla DC
    {"Nelle prime elezioni politiche della Repubblica vince la DEMOCRAZIA CRISTIANA di Alcide DE "
     "GASPERI.",
     "aprile 1948"},
    // 180 (III) governi di centro-sinistra
    {"Nascono i governi di CENTRO-SINISTRA: la Democrazia Cristiana governa insieme ai SOCIALISTI.",
     "1963"},
    // 181 (III) anni di piombo
    {"Negli ANNI DI PIOMBO l'Italia è colpita da attentati e bombe di gruppi terroristi di estrema "
     "destra e di estrema sinistra.",
     "1969-1980"},
    // 182 (III) rivolta degli studenti
    {"Gli STUDENTI occupano scuole e università in tutto il mondo occidentale e chiedono una "
     "società più libera e giusta.",
     "1968"},
    // 183 (III) nascita della CEE
    {"Con i TRATTATI DI ROMA sei paesi europei, tra cui l'Italia, fondano la CEE, la Comunità "
     "Economica Europea.",
     "1957"},
    // 184 (III) Gorbaciov presidente dell'URSS
    {"Michail GORBACIOV diventa segretario generale del partito comunista dell'URSS e comincia a "
     "riformare il paese.",
     "1985"},
    // 185 (III) caduta dei governi socialisti dell'Est
    {"Cade il MURO DI BERLINO e crollano i governi comunisti dell'EUROPA DELL'EST.", "1989"},
    // 186 (III) riunificazione della Germania
    {"La GERMANIA EST e la GERMANIA OVEST si riuniscono in un solo stato.", "1990"},
    // 187 (III) fine dell'URSS
    {"L'URSS si dissolve: GORBACIOV si dimette e le repubbliche sovietiche diventano stati "
     "indipendenti.",
     "1991"},
    // 188 (III) dissoluzione della Federazione yugoslava
    {"In JUGOSLAVIA si scioglie il partito comunista; in SLOVENIA e CROAZIA vincono i partiti "
     "indipendentisti: la federazione si sfalda.",
     "1990"},
    // 189 (III) decolonizzazione
    {"Con la DECOLONIZZAZIONE i popoli dell'Asia e dell'Africa si liberano dal dominio europeo e "
     "formano nuovi stati.",
     "1945-1980"},
}};

// Entry k (1..45) names row kEssentialRows[k - 1]; entry 45 names row 1 again.
const std::array<int, FactTable::kEssentialEntries> kEssentialRows{
    1,   9,   12,  14,  21,  25,  29,  32,  44,  48,  51,  54,  55,  56,  62,
    72,  75,  79,  82,  85,  96,  99,  106, 108, 112, 114, 119, 125, 133, 150,
    153, 157, 161, 162, 163, 167, 168, 169, 171, 177, 183, 185, 187, 189, 1,
};

}  // namespace content
