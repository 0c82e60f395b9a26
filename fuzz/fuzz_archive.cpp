// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The archive on a real file, driven by a sequence of operations decoded from the input and
// checked against a model in memory after every step.
//
// Input: a list of operations, each an opcode byte followed by its arguments. A name is a
// length byte and that many bytes of UTF-8 (any bytes: invalid ones decode to U+FFFD, NUL
// and control characters stay), or, with the length byte's top bit set and rows in the
// model, a stored name again, as it is or in another letter case or with its accents
// decomposed, so that lookups hit.
//
//   'a' name               the name window's addition: find, add only when nothing matches
//   's' name               find and read, and compare the row found
//   'w' name values        the exercise window's store of a run's totals
//   'l'                    the name list, page by page, on the handle it was opened on
//   'r' flag               reopen the archive; the list keeps the old handle when flag is odd
//   'd' name               add without a lookup: a name already there must be refused
//   't' name               a typed answer through NameChoice (tidied, then added once)
//   'c'                    NameChoice::start: the list of names in insertion order
//
// Any other opcode byte is taken modulo 8 in that order.

#include <sqlite3.h>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "archive/archivefile.h"
#include "archive/namekey.h"
#include "archive/status.h"
#include "session/modtempar.h"
#include "session/namechoice.h"
#include "session/namelist.h"

using archive::Status;

namespace {

constexpr int kMaxOperations = 64;
constexpr int kMaxNameBytes = 24;

// What the archive should hold. Rows are never deleted, so insertion order is the order in
// which keys first appeared.
struct Row {
    QString name;
    std::optional<qlonglong> giuste;
    std::optional<qlonglong> sbagliate;
    std::optional<QDateTime> data;
};

struct Model {
    std::vector<QString> order;  // keys in insertion order
    std::map<QString, Row> rows;

    const Row* find(const QString& name) const {
        const auto found = rows.find(archive::nameKey(name));
        return found == rows.end() ? nullptr : &found->second;
    }
    void add(const QString& name) {
        const QString key = archive::nameKey(name);
        order.push_back(key);
        rows[key] = Row{name, {}, {}, {}};
    }
};

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool done() const { return m_pos >= m_size; }
    uint8_t byte() { return done() ? 0 : m_data[m_pos++]; }
    quint64 bytes(int count) {
        quint64 value = 0;
        for (int i = 0; i < count; ++i) {
            value = (value << 8) | byte();
        }
        return value;
    }
    QString name(const Model& model) {
        const uint8_t head = byte();
        if ((head & 0x80) != 0 && !model.order.empty()) {
            const QString& stored = model.rows.at(model.order[byte() % model.order.size()]).name;
            switch (head % 4) {
                case 1:
                    return stored.toUpper();
                case 2:
                    return stored.toLower();
                case 3:
                    return stored.normalized(QString::NormalizationForm_D);
                default:
                    return stored;
            }
        }
        const size_t length = std::min<size_t>(head % (kMaxNameBytes + 1), m_size - m_pos);
        const auto* start = reinterpret_cast<const char*>(m_data + m_pos);
        m_pos += length;
        return QString::fromUtf8(start, static_cast<qsizetype>(length));
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

int g_step = 0;
char g_operation = '?';

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "archive fuzz: step %d '%c': %s\n", g_step, g_operation,
                 what.toUtf8().constData());
    std::abort();
}

void require(bool holds, const QString& what) {
    if (!holds) {
        fail(what);
    }
}

void requireOk(const Status& status, const char* what) {
    if (!status.ok()) {
        fail(QStringLiteral("%1 failed: %2").arg(QLatin1String(what), status.message()));
    }
}

QString shown(const QString& name) {
    return QString::fromLatin1(name.toUtf8().toHex(' '));
}

void requireNumber(const QVariant& got, const std::optional<qlonglong>& expected, const char* field,
                   const QString& name) {
    if (!expected) {
        require(got.isNull(), QStringLiteral("%1 of %2 should be missing, is %3")
                                  .arg(QLatin1String(field), shown(name), got.toString()));
        return;
    }
    require(got.typeId() == QMetaType::LongLong && got.toLongLong() == *expected,
            QStringLiteral("%1 of %2: expected %3, got %4 (%5)")
                .arg(QLatin1String(field), shown(name))
                .arg(*expected)
                .arg(got.toString(), QLatin1String(got.typeName())));
}

// The totals read for a name are the model's, field by field.
void requireTotals(const archive::Outcome& outcome, const Row& row) {
    require(outcome.found, QStringLiteral("%1 not found").arg(shown(row.name)));
    requireNumber(outcome.right, row.giuste, "giuste", row.name);
    requireNumber(outcome.given, row.sbagliate, "sbagliate", row.name);
    if (!row.data) {
        require(outcome.when.isNull(),
                QStringLiteral("data of %1 should be missing").arg(shown(row.name)));
    } else {
        require(
            outcome.when.typeId() == QMetaType::QDateTime && outcome.when.toDateTime() == *row.data,
            QStringLiteral("data of %1: expected %2, got %3")
                .arg(shown(row.name), row.data->toString(Qt::ISODate), outcome.when.toString()));
    }
}

QStringList modelNames(const Model& model) {
    QStringList names;
    for (const QString& key : model.order) {
        names.append(model.rows.at(key).name);
    }
    return names;
}

// A list opened on the archive: every name in insertion order.
void requireListing(const std::shared_ptr<archive::Archive>& archive, const Model& model) {
    session::NameList list;
    requireOk(list.open(archive), "NameList::open");
    const QStringList names = list.all();
    requireOk(list.failure(), "NameList pages");
    require(names == modelNames(model), QStringLiteral("the list has %1 names, the model %2")
                                            .arg(names.size())
                                            .arg(model.order.size()));
}

// The name window's lookup and the results window's reading agree with the model.
bool findAndCompare(archive::Archive& archive, const Model& model, const QString& name) {
    bool found = false;
    requireOk(archive.find(name, &found), "find");
    const Row* row = model.find(name);
    require(found == (row != nullptr),
            QStringLiteral("find %1: found %2").arg(shown(name)).arg(found));
    archive::Outcome outcome;
    requireOk(archive.read(name, &outcome), "read");
    if (row) {
        requireTotals(outcome, *row);
    } else {
        require(!outcome.found, QStringLiteral("read %1 found a row").arg(shown(name)));
    }
    return row != nullptr;
}

// Counts as the drill gives them: mostly small, now and then the largest an int holds.
qlonglong count(Input& in) {
    const uint8_t kind = in.byte();
    return (kind & 0x20) != 0 ? static_cast<qlonglong>(static_cast<qint32>(in.bytes(4)))
                              : static_cast<qlonglong>(in.bytes(1));
}

QDateTime when(Input& in) {
    const int year = 1900 + static_cast<int>(in.bytes(2) % 300);
    const int month = 1 + in.byte() % 12;
    const int day = 1 + in.byte() % QDate(year, month, 1).daysInMonth();
    const QTime time(in.byte() % 24, in.byte() % 60, in.byte() % 60, in.byte() % 1000);
    return QDateTime(QDate(year, month, day), time);
}

struct Fuzzer {
    QString path;
    session::Modtempar shared;
    std::shared_ptr<archive::Archive> listed;  // the handle the name list was opened on
    session::NameChoice choice{shared};
    bool choiceStarted = false;
    Model model;

    void add(const QString& name) {
        if (!findAndCompare(*shared.archiveDb, model, name)) {
            requireOk(shared.archiveDb->add(name), "add");
            model.add(name);
        }
    }

    void store(Input& in, const QString& name) {
        const qlonglong right = count(in);
        const qlonglong given = count(in);
        const QDateTime at = when(in);
        const QByteArray before = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const Status status = shared.archiveDb->store(name, right, given, at);
        if (!model.find(name)) {
            require(status.kind == Status::kNoCurrentRow,
                    QStringLiteral("store without a row: %1").arg(status.message()));
            QFile file(path);
            require(file.open(QIODevice::ReadOnly) && file.readAll() == before,
                    QStringLiteral("a refused store changed the file"));
            return;
        }
        requireOk(status, "store");
        Row changed{name, right, given, at.addMSecs(-at.time().msec())};
        model.rows[archive::nameKey(name)] = changed;
        findAndCompare(*shared.archiveDb, model, name);
    }

    void reopen(bool keepListed) {
        requireOk(shared.openArchive(), "openArchive");
        if (!keepListed) {
            listed = shared.archiveDb;
        }
    }

    // An addition without the lookup before it: the unique key refuses a name already there.
    void addUnchecked(const QString& name) {
        const Status status = shared.archiveDb->add(name);
        if (model.find(name)) {
            require(
                (status.engineCode & 0xff) == SQLITE_CONSTRAINT,
                QStringLiteral("duplicate %1 not refused: %2").arg(shown(name), status.message()));
        } else {
            requireOk(status, "add");
            model.add(name);
        }
    }

    void startChoice() {
        session::NameList list;
        requireOk(choice.start(&list), "NameChoice::start");
        choiceStarted = true;
        listed = shared.archiveDb;
        const QStringList names = list.all();
        require(names == modelNames(model), QStringLiteral("NameChoice lists %1 names, model %2")
                                                .arg(names.size())
                                                .arg(model.order.size()));
    }

    void typed(const QString& answer) {
        if (!choiceStarted) {
            startChoice();
        }
        requireOk(choice.enterTyped(answer), "enterTyped");
        const QString name = session::tidyName(answer);
        require(choice.pupil().name == name,
                QStringLiteral("the pupil's name not the tidy answer"));
        if (!model.find(name)) {
            model.add(name);
        }
    }

    void run(Input& in) {
        for (g_step = 0; g_step < kMaxOperations && !in.done(); ++g_step) {
            static const char kOperations[] = "aswlrdtc";
            const uint8_t opcode = in.byte();
            const char* known = std::strchr(kOperations, opcode);
            g_operation = opcode != 0 && known ? opcode : kOperations[opcode % 8];
            switch (g_operation) {
                case 'a':
                    add(in.name(model));
                    break;
                case 's':
                    findAndCompare(*shared.archiveDb, model, in.name(model));
                    break;
                case 'w': {
                    const QString name = in.name(model);
                    store(in, name);
                    break;
                }
                case 'l':
                    requireListing(listed, model);
                    break;
                case 'r':
                    reopen((in.byte() & 1) != 0);
                    break;
                case 'd':
                    addUnchecked(in.name(model));
                    break;
                case 't':
                    typed(in.name(model));
                    break;
                default:
                    startChoice();
                    break;
            }
            requireListing(shared.archiveDb, model);
        }
    }
};

// One folder for the whole run, in TMPDIR, removed when the run ends (a run stopped by a
// crash leaves it). Every save syncs the file and its folder, which costs milliseconds on
// a disk: scripts/checks/30-fuzz.sh points TMPDIR at a memory file system.
const QString& archivePath() {
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tempolario-fuzz-XXXXXX"));
    static const QString path = folder.filePath(QStringLiteral("tempolario.mdb"));
    if (!folder.isValid()) {
        fail(QStringLiteral("no temporary folder: %1").arg(folder.errorString()));
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& path = archivePath();
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    requireOk(archive::ArchiveFile::create(path), "create");

    Input in(data, size);
    Fuzzer fuzzer;
    fuzzer.path = path;
    fuzzer.shared.archivePath = path;
    requireOk(fuzzer.shared.openArchive(), "openArchive");
    fuzzer.listed = fuzzer.shared.archiveDb;
    fuzzer.run(in);
    return 0;
}
