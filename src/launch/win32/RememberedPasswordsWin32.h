// Remembered passwords on Windows: the signed-in user's generic credentials
// in the Credential Manager, and the shell's search for a bare program name.
// Made by the window's services only: the console companion never has them.
#pragma once

#include "launch/RememberedPasswords.h"

// A credential's exact names are its target name as written, its binding its
// comment (both kept by every Credential Manager, Wine's too, where
// attributes are not), its secret the password as UTF-16 text.
class CredentialStore final : public qb::SecretStore
{
public:
    Status read(const std::string& target, qb::RememberedPassword& into, std::string& error) override;
    bool write(const qb::RememberedPassword& value, std::string& error) override;
    bool list(const std::string& prefix, std::vector<qb::RememberedPassword>& found, std::string& error) override;
    bool remove(const std::string& target, std::string& error) override;
};

// The working folder first, with the extensions of PATHEXT for a name
// without one, as the shell tries them; then the system's search order.
class ShellProgramFinder final : public qb::ProgramFinder
{
public:
    Place find(const std::string& name) override;
};
