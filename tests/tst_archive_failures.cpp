// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every way the archive can be unusable: the message must name the cause, and a file the
// program cannot use must stay byte for byte as it was.

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include "archivetesting.h"
#include "session/modtempar.h"
#include "testtime.h"

using namespace archivetesting;
using archive::Status;

namespace {

// A VFS over the default one whose writes start failing from the Nth on, as on a disk
// that fills up or breaks in the middle of a save.
namespace faulty {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_vfs;
sqlite3_io_methods g_methods;
int g_failFrom = 0;  // 0: no faults
int g_writes = 0;
int g_failCode = SQLITE_FULL;

struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* realOf(sqlite3_file* file) {
    return reinterpret_cast<File*>(file)->real;
}

int xClose(sqlite3_file* f) {
    return realOf(f)->pMethods->xClose(realOf(f));
}
int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return realOf(f)->pMethods->xRead(realOf(f), buffer, amount, offset);
}
int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    ++g_writes;
    if (g_failFrom > 0 && g_writes >= g_failFrom) {
        return g_failCode;
    }
    return realOf(f)->pMethods->xWrite(realOf(f), buffer, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return realOf(f)->pMethods->xTruncate(realOf(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    return realOf(f)->pMethods->xSync(realOf(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int xLock(sqlite3_file* f, int level) {
    return realOf(f)->pMethods->xLock(realOf(f), level);
}
int xUnlock(sqlite3_file* f, int level) {
    return realOf(f)->pMethods->xUnlock(realOf(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int xSectorSize(sqlite3_file* f) {
    return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    const int rc = g_real->xOpen(g_real, name, file->real, flags, outFlags);
    file->base.pMethods = file->real->pMethods ? &g_methods : nullptr;
    return rc;
}

void install() {
    g_real = sqlite3_vfs_find(nullptr);
    g_vfs = *g_real;
    g_vfs.zName = "faulty";
    g_vfs.szOsFile = static_cast<int>(sizeof(File)) + g_real->szOsFile;
    g_vfs.xOpen = xOpen;
    // Version 1: no shared memory or memory mapping, which a rollback journal does not use.
    g_methods = {1,
                 xClose,
                 xRead,
                 xWrite,
                 xTruncate,
                 xSync,
                 xFileSize,
                 xLock,
                 xUnlock,
                 xCheckReservedLock,
                 xFileControl,
                 xSectorSize,
                 xDeviceCharacteristics,
                 nullptr,
                 nullptr,
                 nullptr,
                 nullptr,
                 nullptr,
                 nullptr};
    sqlite3_vfs_register(&g_vfs, 1);
}

void uninstall() {
    sqlite3_vfs_unregister(&g_vfs);
    sqlite3_vfs_register(g_real, 1);
}

}  // namespace faulty

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

QByteArray randomBytes(int size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    std::generate(bytes.begin(), bytes.end(),
                  [&generator] { return static_cast<char>(generator.bounded(256)); });
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void patchFile(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The name window's start: open the archive and list the names.
Status startNameWindow(session::Modtempar& state) {
    Status status = state.openArchive();
    if (!status.ok()) {
        return status;
    }
    session::NameList names;
    status = names.open(state.archiveDb);
    if (status.ok()) {
        names.all();
        status = names.failure();
    }
    return status;
}

}  // namespace

class TestArchiveFailures : public QObject {
    Q_OBJECT

private slots:
    void unusableFiles_data();
    void unusableFiles();
    void lockedByAnotherProgram_data();
    void lockedByAnotherProgram();
    void withoutPermissions_data();
    void withoutPermissions();
    void writeFaultsLeaveArchiveIntact_data();
    void writeFaultsLeaveArchiveIntact();
};

void TestArchiveFailures::unusableFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");  // primary code compared when below 256
    QTest::addColumn<QString>("advice");
    const QString createIt = QStringLiteral("tempolario-archivio crea");
    QTest::newRow("missing file") << "missing" << int(Status::kFileMissing) << createIt;
    QTest::newRow("folder with the archive's name")
        << "folder" << int(Status::kNotAFile) << createIt;
    QTest::newRow("symbolic link to nothing")
        << "dangling" << int(Status::kDanglingLink) << "file a cui punta il collegamento";
    QTest::newRow("0-byte file") << "empty" << int(Status::kEmptyFile) << createIt;
    QTest::newRow("random bytes") << "random" << int(Status::kForeignFile) << "senza cancellarlo";
    QTest::newRow("older database of another format")
        << "older" << int(Status::kForeignFile) << "senza cancellarlo";
    QTest::newRow("text file") << "text" << int(Status::kForeignFile) << "senza cancellarlo";
    QTest::newRow("SQLite signature, file cut short")
        << "cut" << int(Status::kDamagedHeader) << "copia di sicurezza";
    QTest::newRow("SQLite signature, impossible header")
        << "header" << int(Status::kDamagedHeader) << "copia di sicurezza";
    QTest::newRow("SQLite file of another program")
        << "foreign sqlite" << int(Status::kNotOurArchive) << "senza cancellarlo";
    QTest::newRow("archive of a newer version")
        << "newer" << int(Status::kNewerArchive) << "versione";
    QTest::newRow("damaged schema page") << "damaged schema" << SQLITE_CORRUPT << "danneggiato";
    QTest::newRow("damaged table pages") << "damaged pages" << SQLITE_CORRUPT << "danneggiato";
}

void TestArchiveFailures::unusableFiles() {
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, advice);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tempolario.mdb"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("tempolario.mdb")));
    } else if (kind == QLatin1String("dangling")) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("chiavetta/tempolario.mdb")), path));
    } else if (kind == QLatin1String("empty")) {
        writeFile(path, QByteArray());
    } else if (kind == QLatin1String("random")) {
        writeFile(path, randomBytes(8192, 7));
    } else if (kind == QLatin1String("older")) {
        writeFile(path, QByteArray("\x00\x01\x00\x00Old Format DB\x00", 18) + randomBytes(4096, 9));
    } else if (kind == QLatin1String("text")) {
        writeFile(path, "nome;giuste;sbagliate\r\nRossi Mario;3;5\r\n");
    } else if (kind == QLatin1String("cut")) {
        writeFile(path, QByteArray("SQLite format 3\0\x10\x00\x01\x01", 20));
    } else if (kind == QLatin1String("foreign sqlite")) {
        writeFile(path, QByteArray());
        execRaw(path, "CREATE TABLE tempar (nome TEXT); INSERT INTO tempar VALUES ('Rossi');");
    } else if (kind != QLatin1String("missing")) {
        makeArchive(dir.path());
        auto database = openOk(path);
        for (int i = 0; i < 300; ++i) {
            QVERIFY(database->add(QStringLiteral("Alunno numero %1").arg(i)).ok());
        }
    }
    if (kind == QLatin1String("header")) {
        patchFile(path, 21, QByteArray(1, '\x07'));
    } else if (kind == QLatin1String("newer")) {
        execRaw(path, "PRAGMA user_version = 2");
    } else if (kind == QLatin1String("damaged schema")) {
        patchFile(path, 100, randomBytes(3996, 11));
    } else if (kind == QLatin1String("damaged pages")) {
        patchFile(path, 4096, randomBytes(static_cast<int>(QFileInfo(path).size()) - 4096, 13));
    }
    const QByteArray before = bytesOf(path);
    const QStringList entriesBefore = folderEntries(dir.path());

    session::Modtempar state;
    state.archivePath = path;
    const Status status = startNameWindow(state);
    const int got = number < 256 ? (status.engineCode & 0xff) : status.number();
    QVERIFY2(got == number, qPrintable(status.message()));
    QVERIFY(status.message().contains(QString::number(status.number())));
    QVERIFY(status.message().contains(status.description));
    QVERIFY2(status.advice.contains(advice), qPrintable(status.advice));
    if (number > 20000 && kind != QLatin1String("newer")) {
        QVERIFY2(status.description.contains(QFileInfo(path).absoluteFilePath()),
                 qPrintable(status.description));
    }
    state.closeArchive();

    QCOMPARE(bytesOf(path), before);
    QCOMPARE(folderEntries(dir.path()), entriesBefore);
}

void TestArchiveFailures::lockedByAnotherProgram_data() {
    QTest::addColumn<QString>("lock");
    QTest::newRow("held for writing, while saving") << "BEGIN IMMEDIATE";
    QTest::newRow("held exclusively, while opening") << "BEGIN EXCLUSIVE";
}

void TestArchiveFailures::lockedByAnotherProgram() {
    QFETCH(QString, lock);
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    QVERIFY(openOk(path)->add(QStringLiteral("Rossi Mario")).ok());
    const QByteArray before = bytesOf(path);

    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &other, SQLITE_OPEN_READWRITE,
                             nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, lock.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "UPDATE tempar SET giuste = 99", nullptr, nullptr, nullptr),
             SQLITE_OK);

    session::Modtempar state;
    state.archivePath = path;
    state.busyTimeoutMs = 300;
    QElapsedTimer timer;
    timer.start();
    Status status = state.openArchive();
    if (status.ok()) {
        timer.restart();
        status = state.archiveDb->store(QStringLiteral("Rossi Mario"), 1, 2,
                                        QDateTime::currentDateTime());
    }
    QCOMPARE(status.engineCode & 0xff, SQLITE_BUSY);
    QVERIFY2(timer.elapsed() >= 250, "gave up without waiting");
    QVERIFY(status.advice.contains(QStringLiteral("bloccato")));
    state.closeArchive();

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QCOMPARE(bytesOf(path), before);
}

void TestArchiveFailures::withoutPermissions_data() {
    QTest::addColumn<int>("filePermissions");
    QTest::addColumn<int>("folderPermissions");
    QTest::addColumn<int>("number");
    QTest::newRow("read-only file") << 0444 << 0777 << SQLITE_READONLY;
    QTest::newRow("read-only folder") << 0666 << 0555 << SQLITE_READONLY_DIRECTORY;
    QTest::newRow("unreadable file") << 0000 << 0777 << int(Status::kFileUnreadable);
    QTest::newRow("in another user's private folder")
        << 0600 << 0700 << int(Status::kFileUnreadable);
}

void TestArchiveFailures::withoutPermissions() {
    // Root ignores permissions, so as root the program runs as "nobody" in a child process.
    QFETCH(int, filePermissions);
    QFETCH(int, folderPermissions);
    QFETCH(int, number);
    // The child runs from a copy in a folder that anyone may enter, wherever the build
    // tree lies (a checkout under a private home folder included).
    QTemporaryDir childDir;
    const QString childCopy = childDir.filePath(QStringLiteral("archive_child"));
    QVERIFY(QFile::copy(QStringLiteral(ARCHIVE_CHILD), childCopy));
    QVERIFY(::chmod(QFile::encodeName(childDir.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(childCopy).constData(), 0755) == 0);
    QStringList command{childCopy, QStringLiteral("open")};
    if (geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) {
            QSKIP("running as root without setpriv to drop privileges");
        }
        command = QStringList{setpriv, QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")} +
                  command;
    }
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    QVERIFY(openOk(path)->add(QStringLiteral("Rossi Mario")).ok());
    const QByteArray before = bytesOf(path);
    QVERIFY(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(filePermissions)) ==
            0);
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(),
                    static_cast<mode_t>(folderPermissions)) == 0);

    QProcess child;
    child.start(command.first(), command.mid(1) << path);
    QVERIFY(child.waitForFinished(testtime::ms(20000)));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    ::chmod(QFile::encodeName(path).constData(), 0600);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(output.section(QLatin1Char('\n'), 0, 0).toInt() == number, qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("permesso")), qPrintable(output));
    QCOMPARE(bytesOf(path), before);
    QCOMPARE(folderEntries(dir.path()), QStringList{QStringLiteral("tempolario.mdb")});
}

void TestArchiveFailures::writeFaultsLeaveArchiveIntact_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("advice");
    QTest::newRow("disk full while storing totals and placements")
        << SQLITE_FULL << false << "disco è pieno";
    QTest::newRow("disk full while adding a name") << SQLITE_FULL << true << "disco è pieno";
    QTest::newRow("I/O error while storing totals and placements")
        << SQLITE_IOERR_WRITE << false << "errore di lettura o scrittura";
    QTest::newRow("I/O error while adding a name")
        << SQLITE_IOERR_WRITE << true << "errore di lettura o scrittura";
}

void TestArchiveFailures::writeFaultsLeaveArchiveIntact() {
    // The Nth write of one save fails, and every write after it, for N = 1, 2, ... until
    // the save needs fewer writes than N. After each failure the archive holds the old row.
    QFETCH(int, fault);
    QFETCH(bool, adding);
    QFETCH(QString, advice);
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    QVERIFY(
        addStoredPupil(path, QStringLiteral("Rossi Mario"), 1, 1, QDateTime::currentDateTime()));

    // Enough placements to fill pages of their own.
    const archive::RunAnswers placements = someAnswers(3, 200, QDateTime::currentDateTime());
    faulty::install();
    faulty::g_failCode = fault;
    int failures = 0;
    bool saved = false;
    for (int n = 1; n <= 40 && !saved; ++n) {
        session::Modtempar state;
        state.archivePath = path;
        QVERIFY(state.openArchive().ok());
        faulty::g_writes = 0;
        faulty::g_failFrom = n;
        const Status status =
            adding ? state.archiveDb->add(QStringLiteral("Nuovo Alunno"))
                   : state.archiveDb->store(QStringLiteral("Rossi Mario"), 2, 2,
                                            QDateTime::currentDateTime(), placements);
        faulty::g_failFrom = 0;
        state.closeArchive();
        if (status.ok()) {
            saved = true;
            break;
        }
        ++failures;
        QVERIFY2((status.engineCode & 0xff) == (fault & 0xff), qPrintable(status.message()));
        QVERIFY2(status.advice.contains(advice), qPrintable(status.advice));
        QCOMPARE(integrity(path), QStringLiteral("ok"));
        QCOMPARE(rowCount(path), 1);
        QCOMPARE(rowCount(path, "risposte"), 0);
        QCOMPARE(totalsIn(*openOk(path), QStringLiteral("Rossi Mario")).right, QVariant(1LL));
    }
    faulty::uninstall();
    QVERIFY(saved);
    QVERIFY2(failures >= 2, "the save made fewer writes than expected");
    QCOMPARE(integrity(path), QStringLiteral("ok"));
    QCOMPARE(rowCount(path), adding ? 2 : 1);
    QCOMPARE(rowCount(path, "risposte"), adding ? 0 : 200);
    QCOMPARE(totalsIn(*openOk(path), QStringLiteral("Rossi Mario")).right,
             QVariant(adding ? 1LL : 2LL));
}

QTEST_GUILESS_MAIN(TestArchiveFailures)
#include "tst_archive_failures.moc"
