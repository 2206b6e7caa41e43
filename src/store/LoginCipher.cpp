#include "store/LoginCipher.h"

#include "store/Blowfish.h"

#include <QtEndian>
#include <algorithm>

namespace korvane {

namespace {

constexpr qsizetype kBlockSize = 8;

const Blowfish& loginCipher()
{
    // The 32 characters are the key bytes themselves, not hexadecimal to decode.
    static const Blowfish cipher(QByteArrayLiteral("5A0C93E17B46D2F08C3A61E95B27D4F0"));
    return cipher;
}

template <typename Step> void forEachBlock(QByteArray& data, Step step)
{
    char* bytes = data.data();
    for (qsizetype at = 0; at + kBlockSize <= data.size(); at += kBlockSize) {
        std::uint32_t left = qFromLittleEndian<quint32>(bytes + at);
        std::uint32_t right = qFromLittleEndian<quint32>(bytes + at + 4);
        step(left, right);
        qToLittleEndian<quint32>(left, bytes + at);
        qToLittleEndian<quint32>(right, bytes + at + 4);
    }
}

bool isLowerHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

} // namespace

QByteArray encipherLoginText(const QByteArray& text)
{
    QByteArray data = text;
    data.append('\0');
    data.append(QByteArray((kBlockSize - data.size() % kBlockSize) % kBlockSize, '\0'));
    const Blowfish& cipher = loginCipher();
    forEachBlock(data, [&cipher](std::uint32_t& l, std::uint32_t& r) { cipher.encrypt(l, r); });
    return data.toHex();
}

std::optional<QByteArray> decipherLoginText(const QByteArray& hex)
{
    if (hex.isEmpty() || hex.size() % (2 * kBlockSize) != 0)
        return std::nullopt;
    if (!std::all_of(hex.begin(), hex.end(), isLowerHexDigit))
        return QByteArray();

    QByteArray data = QByteArray::fromHex(hex);
    const Blowfish& cipher = loginCipher();
    forEachBlock(data, [&cipher](std::uint32_t& l, std::uint32_t& r) { cipher.decrypt(l, r); });
    const qsizetype end = data.indexOf('\0');
    if (end >= 0)
        data.truncate(end);
    return data;
}

bool loginTextMatches(const QByteArray& stored, const QByteArray& typed)
{
    const std::optional<QByteArray> text = decipherLoginText(stored);
    return text && *text == typed;
}

} // namespace korvane
