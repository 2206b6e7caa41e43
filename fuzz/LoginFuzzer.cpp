// Fuzzes the reader of the login details file and the deciphering of the stored name and password.
//
// Rules checked on every input:
// - the reader accepts exactly the files holding ten whole texts, and then hands back the five
//   value texts without the user being told anything;
// - a damaged file gives the defaults with the two notices, and is replaced by a file that loads
//   quietly;
// - a stored name or password that deciphers enciphers back to a text that deciphers the same, and
//   the typed texts match exactly when both decipher to them;
// - a change of login keeps every other text byte for byte; when the stored name and password are
//   what the cipher writes for their plain texts and every length prefix has its shortest form,
//   storing the same login again writes back exactly the bytes read.
#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "LayoutWalk.h"

#include "records/Archive.h"
#include "store/LoginCipher.h"
#include "store/LoginFiles.h"

#include <array>
#include <optional>

using namespace korvane;
using namespace korvane::fuzz;

namespace {

bool sameDetails(const LoginDetails& a, const LoginDetails& b)
{
    return a.loginName == b.loginName && a.password == b.password && a.passwordHint == b.passwordHint &&
           a.hintQuestion == b.hintQuestion && a.hintAnswer == b.hintAnswer;
}

// Deciphers a stored text and checks that its plain text survives a second trip through the cipher.
std::optional<QByteArray> plainText(const QByteArray& stored)
{
    const std::optional<QByteArray> plain = decipherLoginText(stored);
    if (plain) {
        FUZZ_REQUIRE(!plain->contains('\0'));
        FUZZ_REQUIRE(decipherLoginText(encipherLoginText(*plain)) == plain);
        FUZZ_REQUIRE(loginTextMatches(stored, *plain));
    } else {
        FUZZ_REQUIRE(!loginTextMatches(stored, QByteArray()));
    }
    return plain;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = inputBytes(data, size);
    const QString detailsFile = QStringLiteral("Korvane.pws");
    FuzzFolder::put(detailsFile, input);
    LoginFiles files(FuzzFolder::path());

    const LoginFiles::LoadResult loaded = files.load(false);

    LayoutWalk walk(input);
    std::array<QByteArray, 10> texts;
    for (QByteArray& text : texts)
        walk.text(&text);

    if (!walk.ok()) {
        FUZZ_REQUIRE(loaded.messages.size() == 2);
        FUZZ_REQUIRE(sameDetails(loaded.details, LoginDetails::defaults()));
        const LoginFiles::LoadResult reloaded = files.load(false);
        FUZZ_REQUIRE(reloaded.messages.isEmpty());
        FUZZ_REQUIRE(sameDetails(reloaded.details, LoginDetails::defaults()));
        return 0;
    }

    const LoginDetails& details = loaded.details;
    FUZZ_REQUIRE(loaded.messages.isEmpty());
    FUZZ_REQUIRE(sameDetails(details, {texts[1], texts[3], texts[5], texts[7], texts[9]}));
    showText(details.passwordHint);
    showText(details.hintQuestion);
    showText(details.hintAnswer);

    const std::optional<QByteArray> name = plainText(details.loginName);
    const std::optional<QByteArray> password = plainText(details.password);
    FUZZ_REQUIRE(files.matches(name.value_or(QByteArray()), password.value_or(QByteArray())) ==
                 (name && password));

    // Store the same login when the cipher reproduces it, otherwise a new one.
    const bool reproducible = name && password && encipherLoginText(*name) == details.loginName &&
                              encipherLoginText(*password) == details.password;
    const QByteArray newName = reproducible ? *name : QByteArrayLiteral("fuzz");
    const QByteArray newPassword = reproducible ? *password : QByteArrayLiteral("secret");
    FUZZ_REQUIRE(
        files
            .changeLogin(newName, newPassword, details.passwordHint, details.hintQuestion, details.hintAnswer)
            .isEmpty());
    texts[1] = encipherLoginText(newName);
    texts[3] = encipherLoginText(newPassword);
    ArchiveWriter expected;
    for (const QByteArray& text : texts)
        expected.writeText(text);
    const QByteArray written = FuzzFolder::take(detailsFile);
    FUZZ_REQUIRE(written == expected.data());
    if (reproducible && walk.canonical())
        FUZZ_REQUIRE(written == input.left(walk.consumed()));
    FUZZ_REQUIRE(files.matches(newName, newPassword));
    FUZZ_REQUIRE(files.isLoginEnabled());
    return 0;
}
