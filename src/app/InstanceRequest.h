// SPDX-License-Identifier: MIT
// What a later start asks of the running instance over the single-instance socket: one line per
// connection, "activate" (come forward) or "open" and the files to open, each an absolute path in
// base64 (file names may hold any byte but NUL, a newline and blanks included), or "capture" and
// the name of a capture action. The files named on a command line, resolved by the starting
// process, whose working folder only it knows, and the capture it asks for (--capture NAME).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace instance {

// A request line, newline included, is never longer: what the receiver reads is bounded.
inline constexpr qsizetype kMaxRequestBytes = 64 * 1024;
// A path longer than the system's limit names no file.
inline constexpr qsizetype kMaxPathBytes = 4096;

struct Request {
    QStringList files;  // empty: only come forward
    QString strCapture; // a capture action's name: start that capture instead
};

// True for a path a request may carry: absolute, clean (no ".", ".." or doubled "/"), no NUL,
// within kMaxPathBytes.
bool IsAcceptablePath(const QString& strPath);

// The lines asking the running instance to come forward and open files, split over as many lines
// as the size bound needs (one "activate" line without files). Paths that fail IsAcceptablePath
// are left out and listed in pRejected.
QList<QByteArray> EncodeRequests(const QStringList& files, QStringList* pRejected = nullptr);

// The line asking the running instance to start the capture action of that name.
QByteArray EncodeCaptureRequest(const QString& strAction);

// One received line, newline included. Empty for anything malformed: an unknown verb, a line
// over the bound or without its newline, bad base64, an unacceptable path.
std::optional<Request> DecodeRequest(const QByteArray& line);

// The files named on a command line: the arguments after the program's name that are not
// options ("--" ends the options; the value of --capture is no file), made absolute and clean
// against strWorkingDir; a "file:" URL stands for its local path. Anything else is taken for a file
// name, so that what cannot be opened is named in the error rather than dropped unseen.
QStringList FilesFromArguments(const QStringList& arguments, const QString& strWorkingDir);

// The capture action asked for by "--capture NAME" or "--capture=NAME": empty when none is. An
// unknown or missing name gives nothing with the usage message in *pError.
std::optional<QString> CaptureFromArguments(const QStringList& arguments, QString* pError);

// The first argument before "--" that looks like an option and is none of ours (Qt's own options
// are taken out of the list before): a file named "-x.png" must not vanish unopened and unsaid.
std::optional<QString> UnknownOption(const QStringList& arguments);

} // namespace instance
