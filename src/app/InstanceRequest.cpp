// SPDX-License-Identifier: MIT
// The single-instance socket's request lines and the command line's files.
#include "app/InstanceRequest.h"

#include "capture/engine/CaptureActions.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace instance {

namespace {

constexpr QByteArrayView kActivate = "activate";
constexpr QByteArrayView kOpen = "open";
constexpr QByteArrayView kCapture = "capture";
constexpr QLatin1StringView kCaptureOption("--capture");

bool IsCaptureName(const QString& strName) {
    return capture::ActionForName(strName.toStdString()).has_value();
}

QByteArray OpenLine(const QList<QByteArray>& encoded) {
    QByteArray line = kOpen.toByteArray();
    for (const QByteArray& path : encoded)
        line += ' ' + path;
    return line + '\n';
}

std::optional<QString> DecodePath(const QByteArray& encoded) {
    const QByteArray::FromBase64Result result = QByteArray::fromBase64Encoding(
        encoded, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.isEmpty() || result.decoded.contains('\0'))
        return std::nullopt;
    const QString strPath = QFile::decodeName(result.decoded);
    if (!IsAcceptablePath(strPath))
        return std::nullopt;
    return strPath;
}

} // namespace

bool IsAcceptablePath(const QString& strPath) {
    const QByteArray local = QFile::encodeName(strPath);
    return !local.isEmpty() && local.size() <= kMaxPathBytes && !local.contains('\0') &&
           local.startsWith('/') && QDir::cleanPath(strPath) == strPath;
}

QList<QByteArray> EncodeRequests(const QStringList& files, QStringList* pRejected) {
    QList<QByteArray> lines;
    QList<QByteArray> current;
    qsizetype cbCurrent = kOpen.size() + 1; // verb and newline
    for (const QString& strPath : files) {
        if (!IsAcceptablePath(strPath)) {
            if (pRejected != nullptr)
                pRejected->push_back(strPath);
            continue;
        }
        const QByteArray encoded = QFile::encodeName(strPath).toBase64();
        if (!current.isEmpty() && cbCurrent + 1 + encoded.size() > kMaxRequestBytes) {
            lines.push_back(OpenLine(current));
            current.clear();
            cbCurrent = kOpen.size() + 1;
        }
        current.push_back(encoded);
        cbCurrent += 1 + encoded.size();
    }
    if (!current.isEmpty())
        lines.push_back(OpenLine(current));
    if (lines.isEmpty())
        lines.push_back(kActivate.toByteArray() + '\n');
    return lines;
}

QByteArray EncodeCaptureRequest(const QString& strAction) {
    return kCapture.toByteArray() + ' ' + strAction.toLatin1() + '\n';
}

std::optional<Request> DecodeRequest(const QByteArray& line) {
    if (line.size() > kMaxRequestBytes || !line.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> words = line.chopped(1).split(' ');
    if (words.size() == 1 && words.front() == kActivate)
        return Request{};
    if (words.size() == 2 && words.front() == kCapture) {
        const QString strName = QString::fromLatin1(words[1]);
        if (!IsCaptureName(strName))
            return std::nullopt;
        return Request{{}, strName};
    }
    if (words.size() < 2 || words.front() != kOpen)
        return std::nullopt;
    Request request;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const std::optional<QString> strPath = DecodePath(words[i]);
        if (!strPath)
            return std::nullopt; // one bad part and nothing of the line is trusted
        request.files.push_back(*strPath);
    }
    return request;
}

QStringList FilesFromArguments(const QStringList& arguments, const QString& strWorkingDir) {
    QStringList files;
    const QDir workingDir(strWorkingDir);
    bool bOptions = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString strArg = arguments[i];
        if (bOptions && strArg == QLatin1String("--")) {
            bOptions = false;
            continue;
        }
        if (bOptions && strArg == kCaptureOption) {
            ++i; // its value names an action, not a file
            continue;
        }
        if (strArg.isEmpty() || (bOptions && strArg.startsWith(u'-')))
            continue;
        if (strArg.startsWith(QLatin1String("file:"))) {
            const QUrl url(strArg);
            if (url.isLocalFile())
                strArg = url.toLocalFile();
        }
        files.push_back(QDir::cleanPath(workingDir.absoluteFilePath(strArg)));
    }
    return files;
}

std::optional<QString> CaptureFromArguments(const QStringList& arguments, QString* pError) {
    QString strName;
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != QLatin1String("--"); ++i) {
        if (arguments[i] == kCaptureOption) {
            strName = i + 1 < arguments.size() ? arguments[++i] : QString();
        } else if (arguments[i].startsWith(kCaptureOption + u'=')) {
            strName = arguments[i].mid(kCaptureOption.size() + 1);
        } else {
            continue;
        }
        if (!IsCaptureName(strName)) {
            if (pError != nullptr)
                *pError = QStringLiteral("quorvi-studio: --capture needs one of: %1 (not \"%2\").")
                              .arg(QString::fromStdString(capture::ActionNames()), strName);
            return std::nullopt;
        }
    }
    return strName;
}

std::optional<QString> UnknownOption(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& strArg = arguments[i];
        if (strArg == QLatin1String("--"))
            break;
        if (strArg == kCaptureOption)
            ++i;
        else if (strArg.startsWith(u'-') && !strArg.startsWith(kCaptureOption + u'='))
            return strArg;
    }
    return std::nullopt;
}

} // namespace instance
