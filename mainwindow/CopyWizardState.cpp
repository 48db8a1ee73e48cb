#include "CopyWizardState.h"

#include "common/SecureMemory.h"

namespace
{
QString _ownedCopy_helper(const QString& text)
{
    return QString(text.constData(), text.size());
}
} // namespace

CopyWizardState::~CopyWizardState()
{
    clear();
}

void CopyWizardState::setSourcePassword(const QString& password)
{
    secureClearString(sourcePassword);
    sourcePassword = _ownedCopy_helper(password);
}

void CopyWizardState::setTargetPassword(const QString& password)
{
    secureClearString(targetPassword);
    targetPassword = _ownedCopy_helper(password);
}

void CopyWizardState::clearSourcePassword()
{
    secureClearString(sourcePassword);
}

void CopyWizardState::clearTarget()
{
    writtenImage.clear();
    secureClearString(targetPassword);
    writtenSeal = VaultSeal();
    targetDevice = DeviceIdentity();
}

void CopyWizardState::clear()
{
    clearTarget();
    plaintextImage.clear();
    secureClearString(sourcePassword);
    sourceDeviceName.clear();
    sourceDeviceSerialNumber.clear();
    sourceSaveCounter = 0;
}

bool CopyWizardState::isHeld() const
{
    return !plaintextImage.isEmpty() || !writtenImage.isEmpty() || !sourcePassword.isEmpty() ||
           !targetPassword.isEmpty() || !sourceDeviceName.isEmpty();
}
