#include "VaultSessionState.h"

#include "common/SecureMemory.h"

VaultSessionState::~VaultSessionState()
{
    clear();
}

const QString& VaultSessionState::masterPassword() const
{
    return _masterPassword;
}

bool VaultSessionState::isMasterPasswordKnown() const
{
    return _isMasterPasswordKnown;
}

void VaultSessionState::replaceMasterPassword(const QString& password, bool isKnown)
{
    secureClearString(_masterPassword);
    _masterPassword = password;
    lockString(_masterPassword);
    _isMasterPasswordKnown = isKnown;
}

void VaultSessionState::clear()
{
    secureClearString(_masterPassword);
    _isMasterPasswordKnown = false;
}
