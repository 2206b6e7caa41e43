#include "store/OpenableFile.h"

#include "store/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {

/** What a file runs as, judged by its name, or "" for a name that tells nothing. */
QString kindOfName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("desktop"))
        return QStringLiteral("a desktop entry, which can start any program");
    static const char* const kPrograms[] = {"appimage", "bin", "run", "exe", "com",
                                            "msi",      "jar", "deb", "rpm"};
    static const char* const kScripts[] = {"sh",  "bash", "zsh", "csh", "ksh", "fish",
                                           "py",  "pl",   "rb",  "php", "js",  "lua",
                                           "tcl", "bat",  "cmd", "ps1", "vbs", "command"};
    for (const char* program : kPrograms) {
        if (suffix == QLatin1String(program))
            return QStringLiteral("a program");
    }
    for (const char* script : kScripts) {
        if (suffix == QLatin1String(script))
            return QStringLiteral("a script");
    }
    return {};
}

/** What a file runs as, judged by its first bytes, or "" for bytes that tell nothing. */
QString kindOfContents(const QString& path)
{
    RegularFile file(path);
    QByteArray head;
    if (!file.isOpen() || !file.readMore(head, 64))
        return {};
    if (head.startsWith("\x7f"
                        "ELF") ||
        head.startsWith("MZ"))
        return QStringLiteral("a program");
    if (head.startsWith("#!"))
        return QStringLiteral("a script");
    if (head.trimmed().startsWith("[Desktop Entry]"))
        return QStringLiteral("a desktop entry, which can start any program");
    return {};
}

} // namespace

OpenableFile::OpenableFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (path.isEmpty() || ::stat(native.constData(), &info) != 0) {
        m_verdict = Verdict::Missing;
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        if (::access(native.constData(), R_OK | X_OK) != 0) {
            m_verdict = Verdict::Refuse;
            m_description = QStringLiteral("the folder cannot be opened with your permissions");
        }
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        m_verdict = Verdict::Refuse;
        m_description = QStringLiteral("it is not a regular file (a named pipe, socket or device)");
        return;
    }
    if (::access(native.constData(), R_OK) != 0) {
        m_verdict = Verdict::Refuse;
        m_description = QStringLiteral("it cannot be read with your permissions");
        return;
    }
    m_description = kindOfName(path);
    if (m_description.isEmpty())
        m_description = kindOfContents(path);
    if (m_description.isEmpty() && (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)))
        m_description = QStringLiteral("an executable file");
    m_verdict = m_description.isEmpty() ? Verdict::Open : Verdict::Ask;
}

} // namespace korvane
