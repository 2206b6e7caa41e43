#include "store/LoginFiles.h"

#include "records/Archive.h"
#include "store/LoginCipher.h"
#include "store/SafeFile.h"

#include <array>
#include <cstddef>
#include <optional>

namespace korvane {

namespace {

// The file alternates filler and value: texts 1, 3, 5, 7, 9 are fillers, 2, 4, 6, 8, 10 the values.
constexpr std::size_t kTextCount = 10;
using LoginTexts = std::array<QByteArray, kTextCount>;

std::optional<LoginTexts> readTexts(const QString& path)
{
    QByteArray data;
    if (!SafeFile::read(path, data))
        return std::nullopt;
    ArchiveReader reader(data);
    LoginTexts texts;
    for (QByteArray& text : texts)
        reader.readText(text);
    if (!reader.ok())
        return std::nullopt;
    return texts;
}

void putValues(LoginTexts& texts, const LoginDetails& details)
{
    texts[1] = details.loginName;
    texts[3] = details.password;
    texts[5] = details.passwordHint;
    texts[7] = details.hintQuestion;
    texts[9] = details.hintAnswer;
}

LoginDetails takeValues(const LoginTexts& texts)
{
    return {texts[1], texts[3], texts[5], texts[7], texts[9]};
}

// A freshly written file repeats each value in the filler before it.
LoginTexts defaultTexts()
{
    LoginTexts texts;
    putValues(texts, LoginDetails::defaults());
    for (std::size_t i = 0; i < kTextCount; i += 2)
        texts[i] = texts[i + 1];
    return texts;
}

QByteArray encode(const LoginTexts& texts)
{
    ArchiveWriter writer;
    for (const QByteArray& text : texts)
        writer.writeText(text);
    return writer.data();
}

} // namespace

LoginDetails LoginDetails::defaults()
{
    return {encipherLoginText("naro"), encipherLoginText("naro"), "naro", "What is your Pet Name?", "fen"};
}

LoginFiles::LoginFiles(const QString& folder)
    : m_detailsPath(folder + QStringLiteral("/Korvane.pws")),
      m_statusPath(folder + QStringLiteral("/Korvane.dis"))
{
}

LoginFiles::LoadResult LoginFiles::load(bool quiet)
{
    LoadResult result;
    if (const std::optional<LoginTexts> texts = readTexts(m_detailsPath)) {
        result.details = takeValues(*texts);
        return result;
    }

    if (!quiet) {
        result.messages << QStringLiteral("Your Login Details may be corrupted or lost")
                        << QStringLiteral("Default Login Details are Loaded which is provied to you while "
                                          "purchase");
    }
    const LoginTexts texts = defaultTexts();
    const QString error = SafeFile::write(m_detailsPath, encode(texts));
    if (!error.isEmpty())
        result.messages << error;
    result.details = takeValues(texts);
    return result;
}

QString LoginFiles::changeLogin(const QByteArray& newName, const QByteArray& newPassword,
                                const QByteArray& passwordHint, const QByteArray& hintQuestion,
                                const QByteArray& hintAnswer)
{
    LoginTexts texts = readTexts(m_detailsPath).value_or(defaultTexts());
    putValues(texts, {encipherLoginText(newName), encipherLoginText(newPassword), passwordHint, hintQuestion,
                      hintAnswer});
    const QString error = SafeFile::write(m_detailsPath, encode(texts));
    if (!error.isEmpty())
        return error;
    return writeStatus(0);
}

std::int32_t LoginFiles::readStatus(QString* error)
{
    if (error)
        error->clear();
    QByteArray data;
    if (SafeFile::read(m_statusPath, data)) {
        ArchiveReader reader(data);
        std::int32_t status = 0;
        if (reader.readInt32(status))
            return status;
    }
    const QString writeError = writeStatus(0);
    if (error)
        *error = writeError;
    return 0;
}

QString LoginFiles::writeStatus(std::int32_t status)
{
    ArchiveWriter writer;
    writer.writeInt32(status);
    return SafeFile::write(m_statusPath, writer.data());
}

bool LoginFiles::isLoginEnabled(QString* error)
{
    return readStatus(error) == 0;
}

bool LoginFiles::matches(const QByteArray& typedName, const QByteArray& typedPassword) const
{
    const LoginTexts texts = readTexts(m_detailsPath).value_or(defaultTexts());
    return matches(takeValues(texts), typedName, typedPassword);
}

bool LoginFiles::matches(const LoginDetails& details, const QByteArray& typedName,
                         const QByteArray& typedPassword)
{
    return loginTextMatches(details.loginName, typedName) &&
           loginTextMatches(details.password, typedPassword);
}

} // namespace korvane
