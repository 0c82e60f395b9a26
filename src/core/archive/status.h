// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace archive {

// Outcome of an archive operation: what went wrong (its kind), as every engine and the
// windows see it, with the engine's own code and text as detail for the messages, and one
// Italian sentence of advice.
//
// The kinds are numbered from 20000 up, the numbers the messages show. A failure that the
// file's engine (SQLite) reports in its own terms is of kind kEngineError, and its message
// shows the engine's own code instead (for instance 5 = file locked, 13 = disk full,
// 11 = damaged, 1544 = folder read-only); a failure on the server shows the server's code
// (SQLSTATE) beside its kind. Each engine maps its own codes in its own files.
struct Status {
    enum Kind : int {
        kOk = 0,
        // The file's engine failed; its own code is in engineCode.
        kEngineError = 1,
        // Checks made before SQLite sees the file; the file is never touched when they fail.
        kFileMissing = 20001,     // nothing at the path
        kNotAFile = 20002,        // a folder or a device at the path
        kFileUnreadable = 20003,  // the file cannot be read (permissions)
        kEmptyFile = 20004,       // a file of 0 bytes
        kForeignFile = 20005,     // not an SQLite file at all
        kDamagedHeader = 20006,   // SQLite signature, impossible header
        kNotOurArchive = 20007,   // an SQLite file of another program
        kNewerArchive = 20008,    // ours, but a newer format version
        kSettingRefused = 20009,  // journal or sync mode did not take
        // Creating and checking archives (the command-line tool).
        kFileExists = 20010,    // creation refused: something is there
        kCannotCreate = 20011,  // creation failed (folder, permissions)
        kWrongLayout = 20012,   // table, fields or index not as ours
        kDanglingLink = 20013,  // a symbolic link to nothing at the path
        // Operations on the rows.
        kNoCurrentRow = 20106,  // a store under a name without a row
        kRowGone = 20109,       // the row was deleted by someone else
        kClosed = 20110,        // no archive is open
        kNameTooLong = 20111,   // a name longer than the archive holds
        kSameName = 20112,      // several rows have the name typed
        // The archive on a database server; the server's own code (SQLSTATE) is in `code`.
        kServerError = 20301,        // the server refused or failed a statement
        kServerUnreachable = 20302,  // no connection, or it broke
        kServerTimeout = 20303,      // no answer within the time-out
        kServerSetting = 20304,      // the service is not set up on this computer
        kServerTableExists = 20305,  // creation refused: the table is there
        kServerBadValue = 20306,     // a copied value the server cannot hold
        kServerLayout = 20307,       // the table is not as ours (no key index)
        kServerRefused = 20308,      // reached, but the connection was refused
        kServerBusy = 20309,         // a row or table held by another session
    };

    Kind kind = kOk;
    // The engine's own detail, for the messages that show it.
    int engineCode = 0;   // the file engine's code (SQLite's extended result code), kEngineError
    QString code;         // the server's five-character code (SQLSTATE), when it gave one
    QString description;  // the engine's description of the error
    QString advice;       // one Italian sentence saying what to do

    bool ok() const { return kind == kOk; }
    explicit operator bool() const { return ok(); }
    // The number the messages show: the file engine's own code for kEngineError, the
    // kind's number otherwise.
    int number() const { return kind == kEngineError ? engineCode : static_cast<int>(kind); }
    // Italian text for the message box: cause(), then advice on a line of its own.
    QString message() const;
    // The error's number and the engine's or server's own description, which may be in
    // English: a message that adds its own sentences puts this last.
    QString cause() const;

    // A failure with one of our own kinds; detail, when given, is added to the standard
    // description (typically the file or the name involved).
    static Status own(Kind kind, const QString& detail = QString());
    // A failure described by an engine: its kind, its own code (the file engine's number or
    // the server's SQLSTATE), its description and the advice that goes with them.
    static Status described(Kind kind, int engineCode, const QString& serverCode,
                            const QString& description, const QString& advice);
};

// The advice that sends the user to make an empty archive file, shared by the file's own
// failures and those its engine reports.
QString createArchiveHint();

}  // namespace archive
