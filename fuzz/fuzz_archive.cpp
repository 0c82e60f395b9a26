// The archive layer on a real file, driven by a sequence of operations decoded from the
// input and checked against a model in memory after every step.
//
// Input: a list of operations, each an opcode byte followed by its arguments. A name is a
// length byte and that many bytes of UTF-8 (any bytes: invalid ones decode to U+FFFD, NUL
// and control characters stay), or, with the length byte's top bit set and rows in the
// model, a stored name again, as it is or in another letter case or with its accents
// decomposed, so that lookups hit.
//
//   'a' name               the name window's addition: seek, add only when nothing matches
//   's' name               seek, and compare the row found
//   'w' name values        the exercise window's store: seek, edit, set nome and figures
//   'l'                    the name window's walk: moveLast, moveFirst, every row in order
//   'k'                    walk the indexed cursor: rows in key order
//   'r' flag               reopen the archive; the old cursor is kept when flag is odd
//   'd' name               add without a seek: a name already there must be refused
//   't' name               a typed answer through NameChoice (tidied, then added once)
//   'c'                    NameChoice::start: the list of names in insertion order
//
// Any other opcode byte is taken modulo 9 in that order.

#include <sqlite3.h>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "archive/archivefile.h"
#include "archive/database.h"
#include "archive/lookup.h"
#include "archive/modtempar.h"
#include "archive/namechoice.h"
#include "archive/namekey.h"
#include "archive/namelist.h"
#include "archive/recordset.h"
#include "archive/status.h"

using archive::Recordset;
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

QVariant valueOf(const Recordset& cursor, const char* field) {
    QVariant value;
    requireOk(cursor.value(QLatin1String(field), &value), field);
    return value;
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

// The row the cursor stands on is the model's row, field by field.
void requireRow(const Recordset& cursor, const Row& row) {
    const QVariant nome = valueOf(cursor, "nome");
    require(
        nome.typeId() == QMetaType::QString && nome.toString() == row.name,
        QStringLiteral("nome: expected %1, got %2").arg(shown(row.name), shown(nome.toString())));
    requireNumber(valueOf(cursor, "giuste"), row.giuste, "giuste", row.name);
    requireNumber(valueOf(cursor, "sbagliate"), row.sbagliate, "sbagliate", row.name);
    const QVariant data = valueOf(cursor, "data");
    if (!row.data) {
        require(data.isNull(), QStringLiteral("data of %1 should be missing").arg(shown(row.name)));
    } else {
        require(data.typeId() == QMetaType::QDateTime && data.toDateTime() == *row.data,
                QStringLiteral("data of %1: expected %2, got %3")
                    .arg(shown(row.name), row.data->toString(Qt::ISODate), data.toString()));
    }
}

// A fresh cursor, as every window opens one: every row in insertion order.
void requireListing(archive::Modtempar& shared, const Model& model) {
    Status status;
    const auto cursor = shared.archiveDb->openRecordset(QStringLiteral("tempar"), &status);
    requireOk(status, "openRecordset");
    require(cursor->bof() == model.order.empty(), QStringLiteral("bof on opening"));
    for (const QString& key : model.order) {
        require(!cursor->eof(), QStringLiteral("listing ends early"));
        requireRow(*cursor, model.rows.at(key));
        requireOk(cursor->moveNext(), "moveNext");
    }
    require(cursor->eof(), QStringLiteral("listing has more rows than the model"));
}

// The name window's seek; the cursor then stands on the model's row, or on none.
bool seekAndCompare(Recordset& cursor, const Model& model, const QString& name) {
    requireOk(archive::seekName(cursor, name), "seek");
    const Row* row = model.find(name);
    require(cursor.noMatch() == (row == nullptr),
            QStringLiteral("seek %1: noMatch %2").arg(shown(name)).arg(cursor.noMatch()));
    if (row) {
        requireRow(cursor, *row);
    }
    return row != nullptr;
}

Status addName(Recordset& cursor, const QString& name) {
    Status status = cursor.addNew();
    if (status) {
        status = cursor.setValue(QStringLiteral("nome"), name);
    }
    return status ? cursor.update() : status;
}

// One field's value for the store: what setValue gets, and what reading it back must give
// (nothing when setValue must refuse it).
struct NumberValue {
    QVariant given;
    std::optional<qlonglong> stored;
    bool refused = false;
};

NumberValue numberValue(Input& in) {
    const uint8_t kind = in.byte();
    if ((kind & 0x40) != 0) {
        return {QVariant(), std::nullopt, false};
    }
    // Mostly small counts; now and then the largest whole numbers a double holds exactly.
    const qlonglong small = static_cast<qint16>(in.bytes(2));
    qlonglong number = small;
    if ((kind & 0x20) != 0) {
        number = static_cast<qlonglong>(in.bytes(7) & 0x7fffffffffffffull) - (1ll << 54);
    }
    const bool exact = number >= -(1ll << 53) && number <= (1ll << 53);
    const double rounded = static_cast<double>(number);
    switch (kind % 6) {
        case 0:
            return {QVariant(static_cast<int>(number)), static_cast<int>(number), false};
        case 1:
            return {QVariant(number), number, !exact};
        case 2:
            return {QVariant(rounded), static_cast<qlonglong>(rounded),
                    std::fabs(rounded) > 9007199254740992.0};
        case 3:
            return {QVariant(QString::number(number)), number, !exact};
        case 4:  // not a whole number (a large one plus a half would round to one)
            return {QVariant(static_cast<double>(small) + 0.5), std::nullopt, true};
        default:  // not a number at all
            return {QVariant(QStringLiteral("%1 giuste").arg(number)), std::nullopt, true};
    }
}

struct DateValue {
    QVariant given;
    std::optional<QDateTime> stored;
    bool refused = false;
};

DateValue dateValue(Input& in) {
    const uint8_t kind = in.byte();
    if ((kind & 0x40) != 0) {
        return {QVariant(), std::nullopt, false};
    }
    const int year = 1900 + static_cast<int>(in.bytes(2) % 300);
    const int month = 1 + in.byte() % 12;
    const int day = 1 + in.byte() % QDate(year, month, 1).daysInMonth();
    const QDate date(year, month, day);
    const QTime time(in.byte() % 24, in.byte() % 60, in.byte() % 60);
    const QDateTime when(date, time);
    switch (kind % 5) {
        case 0:
            return {QVariant(when), when, false};
        case 1:  // a date alone is the start of that day
            return {QVariant(date), date.startOfDay(), false};
        case 2:
            return {QVariant(when.toString(Qt::ISODate)), when, false};
        case 3:  // the sqlite3 program's datetime() form
            return {QVariant(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))), when, false};
        default:
            return {QVariant(QStringLiteral("domani")), std::nullopt, true};
    }
}

// Sets one field, expecting a refusal for values the field cannot hold. Returns whether
// the value is now pending.
bool setField(Recordset& cursor, const char* field, const QVariant& given, bool refused) {
    const Status status = cursor.setValue(QLatin1String(field), given);
    if (refused) {
        require(status.number == Status::kWrongValue,
                QStringLiteral("%1 := %2 should be refused, got %3")
                    .arg(QLatin1String(field), given.toString(), status.message()));
        return false;
    }
    requireOk(status, field);
    return true;
}

struct Fuzzer {
    QString path;
    archive::Modtempar shared;
    std::unique_ptr<Recordset> cursor;
    archive::NameChoice choice{shared};
    bool choiceStarted = false;
    Model model;

    void openCursor() {
        Status status;
        cursor = shared.archiveDb->openRecordset(QStringLiteral("tempar"), &status);
        requireOk(status, "openRecordset");
    }

    void add(const QString& name) {
        if (!seekAndCompare(*cursor, model, name)) {
            requireOk(addName(*cursor, name), "add");
            model.add(name);
        }
    }

    void store(Input& in, const QString& name) {
        const bool found = seekAndCompare(*cursor, model, name);
        if (!found) {
            require(cursor->edit().number == Status::kNoCurrentRow,
                    QStringLiteral("edit with no current row"));
            return;
        }
        const uint8_t fields = in.byte();
        requireOk(cursor->edit(), "edit");
        Row changed = *model.find(name);
        requireOk(cursor->setValue(QStringLiteral("nome"), name), "nome");
        changed.name = name;
        if ((fields & 1) != 0) {
            const NumberValue value = numberValue(in);
            if (setField(*cursor, "giuste", value.given, value.refused)) {
                changed.giuste = value.stored;
            }
        }
        if ((fields & 2) != 0) {
            const NumberValue value = numberValue(in);
            if (setField(*cursor, "sbagliate", value.given, value.refused)) {
                changed.sbagliate = value.stored;
            }
        }
        if ((fields & 4) != 0) {
            const DateValue value = dateValue(in);
            if (setField(*cursor, "data", value.given, value.refused)) {
                changed.data = value.stored;
            }
        }
        requireOk(cursor->update(), "update");
        model.rows[archive::nameKey(name)] = changed;
        // After a change the cursor stays on the row, showing what was saved.
        requireRow(*cursor, changed);
    }

    // The name window's walk over its cursor: to the last row for the count, back to the
    // first, then every row.
    void walk() {
        Status status;
        const auto rows = shared.archiveDb->openRecordset(QStringLiteral("tempar"), &status);
        requireOk(status, "openRecordset");
        if (rows->bof()) {
            require(model.order.empty(), QStringLiteral("bof with rows in the model"));
            return;
        }
        requireOk(rows->moveLast(), "moveLast");
        requireRow(*rows, model.rows.at(model.order.back()));
        require(rows->recordCount() == static_cast<qint64>(model.order.size()),
                QStringLiteral("recordCount %1").arg(rows->recordCount()));
        requireOk(rows->moveFirst(), "moveFirst");
        for (const QString& key : model.order) {
            require(!rows->eof(), QStringLiteral("walk ends early"));
            requireRow(*rows, model.rows.at(key));
            requireOk(rows->moveNext(), "moveNext");
        }
        require(rows->eof(), QStringLiteral("walk has more rows than the model"));
    }

    // Once the index is chosen the cursor moves in key order: the keys' UTF-8 bytes, as
    // SQLite compares text, and insertion order between equal keys (there are none).
    void walkKeyOrder() {
        std::vector<QString> keys = model.order;
        std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            return a.toUtf8() < b.toUtf8();
        });
        requireOk(cursor->setIndex(QStringLiteral("nome")), "setIndex");
        requireOk(cursor->moveFirst(), "moveFirst");
        for (const QString& key : keys) {
            require(!cursor->eof(), QStringLiteral("key walk ends early"));
            requireRow(*cursor, model.rows.at(key));
            requireOk(cursor->moveNext(), "moveNext");
        }
        require(cursor->eof(), QStringLiteral("key walk has more rows than the model"));
    }

    void reopen(bool keepCursor) {
        requireOk(shared.openArchive(), "openArchive");
        if (!keepCursor) {
            openCursor();
        }
    }

    // An addition without the seek before it: the unique key refuses a name already there.
    void addUnchecked(const QString& name) {
        const Status status = addName(*cursor, name);
        if (model.find(name)) {
            require(
                (status.number & 0xff) == SQLITE_CONSTRAINT,
                QStringLiteral("duplicate %1 not refused: %2").arg(shown(name), status.message()));
        } else {
            requireOk(status, "add");
            model.add(name);
        }
    }

    void startChoice() {
        archive::NameList list;
        requireOk(choice.start(&list), "NameChoice::start");
        choiceStarted = true;
        const QStringList names = list.all();
        QStringList expected;
        for (const QString& key : model.order) {
            expected.append(model.rows.at(key).name);
        }
        require(names == expected, QStringLiteral("NameChoice lists %1 names, model %2")
                                       .arg(names.size())
                                       .arg(expected.size()));
    }

    void typed(const QString& answer) {
        if (!choiceStarted) {
            startChoice();
        }
        requireOk(choice.enterTyped(answer), "enterTyped");
        const QString name = archive::tidyName(answer);
        require(shared.currentName == name, QStringLiteral("currentName not the tidy answer"));
        if (!model.find(name)) {
            model.add(name);
        }
    }

    void run(Input& in) {
        for (g_step = 0; g_step < kMaxOperations && !in.done(); ++g_step) {
            static const char kOperations[] = "aswlkrdtc";
            const uint8_t opcode = in.byte();
            const char* known = std::strchr(kOperations, opcode);
            g_operation = opcode != 0 && known ? opcode : kOperations[opcode % 9];
            switch (g_operation) {
                case 'a':
                    add(in.name(model));
                    break;
                case 's':
                    seekAndCompare(*cursor, model, in.name(model));
                    break;
                case 'w': {
                    const QString name = in.name(model);
                    store(in, name);
                    break;
                }
                case 'l':
                    walk();
                    break;
                case 'k':
                    walkKeyOrder();
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
            requireListing(shared, model);
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
    fuzzer.openCursor();
    fuzzer.run(in);
    return 0;
}
