// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace archive {

// Outcome of an archive operation: number 0 when it worked, otherwise the engine's error
// number with its description and one Italian sentence of advice.
//
// Numbers below 20000 are SQLite extended result codes, exactly as the SQLite library
// reports them (for instance 5 = file locked, 13 = disk full, 11 = damaged, 1544 = folder
// read-only). Numbers from 20000 up are this layer's own: the checks made on the file
// before SQLite is allowed to open it, and operations on rows that are not there.
struct Status {
    // Checks made before SQLite sees the file; the file is never touched when they fail.
    static constexpr int kFileMissing = 20001;     // nothing at the path
    static constexpr int kNotAFile = 20002;        // a folder or a device at the path
    static constexpr int kFileUnreadable = 20003;  // the file cannot be read (permissions)
    static constexpr int kEmptyFile = 20004;       // a file of 0 bytes
    static constexpr int kForeignFile = 20005;     // not an SQLite file at all
    static constexpr int kDamagedHeader = 20006;   // SQLite signature, impossible header
    static constexpr int kNotOurArchive = 20007;   // an SQLite file of another program
    static constexpr int kNewerArchive = 20008;    // ours, but a newer format version
    static constexpr int kSettingRefused = 20009;  // journal or sync mode did not take
    // Creating and checking archives (the command-line tool).
    static constexpr int kFileExists = 20010;    // creation refused: something is there
    static constexpr int kCannotCreate = 20011;  // creation failed (folder, permissions)
    static constexpr int kWrongLayout = 20012;   // table, fields or index not as ours
    static constexpr int kDanglingLink = 20013;  // a symbolic link to nothing at the path
    // Operations on the rows.
    static constexpr int kNoCurrentRow = 20106;  // a store under a name without a row
    static constexpr int kRowGone = 20109;       // the row was deleted by someone else
    static constexpr int kClosed = 20110;        // no archive is open
    static constexpr int kNameTooLong = 20111;   // a name longer than the archive holds
    static constexpr int kSameName = 20112;      // several rows have the name typed
    // The archive on a database server; the server's own code (SQLSTATE) is in `code`.
    static constexpr int kServerError = 20301;        // the server refused or failed a statement
    static constexpr int kServerUnreachable = 20302;  // no connection, or it broke
    static constexpr int kServerTimeout = 20303;      // no answer within the time-out
    static constexpr int kServerSetting = 20304;      // the service is not set up on this computer
    static constexpr int kServerTableExists = 20305;  // creation refused: the table is there
    static constexpr int kServerBadValue = 20306;     // a copied value the server cannot hold
    static constexpr int kServerLayout = 20307;       // the table is not as ours (no key index)
    static constexpr int kServerRefused = 20308;      // reached, but the connection was refused
    static constexpr int kServerBusy = 20309;         // a row or table held by another session

    int number = 0;
    QString code;         // the server's five-character code (SQLSTATE), when it gave one
    QString description;  // the engine's description of the error
    QString advice;       // one Italian sentence saying what to do

    bool ok() const { return number == 0; }
    explicit operator bool() const { return ok(); }
    // Italian text for the message box: cause(), then advice on a line of its own.
    QString message() const;
    // The error's number and the engine's or server's own description, which may be in
    // English: a message that adds its own sentences puts this last.
    QString cause() const;

    // A failure with one of our own numbers; detail, when given, is added to the standard
    // description (typically the file or the name involved).
    static Status own(int number, const QString& detail = QString());
    // A failure reported by SQLite: its extended result code and its description.
    static Status engine(int extendedCode, const QString& description);
    // A failure on the database server: one of the kServer numbers, the server's code (or
    // none), its text, and the server it concerns, as "«service» (host, porta N)".
    static Status server(int number, const QString& code, const QString& text,
                         const QString& where);
};

}  // namespace archive
