#pragma once

#include <QString>
#include <optional>

namespace korvane {

/**
 * Passwords kept in the desktop's keyring (Secret Service, KWallet) through QtKeychain. Where no
 * keyring runs, nothing is kept and the user is asked each time; tests never touch the keyring.
 */
class PasswordKeyring
{
public:
    /** The password kept under the key, or nothing when there is none or no keyring answers. */
    static std::optional<QString> read(const QString& key);

    /** Keeps the password under the key; false when no keyring took it. */
    static bool write(const QString& key, const QString& password);
};

} // namespace korvane
