// SPDX-License-Identifier: MIT
#include "SsVersionInfo.h"

#include "base/exceptions/SsBase.h"
#include "platform/version/FileVersionInfo.h"
#include "platform/version/ModulePath.h"
#include "platform/version/VersionBlock.h"
#include "platform/version/VersionNumber.h"

using namespace dw::platform;

struct TSsCustomVersionInfo::Loaded {
    std::vector<std::uint8_t> block;
    std::string prefix;
    VersionTranslation translation;
    std::optional<VsFixedFileInfo> fixed;

    const VsFixedFileInfo& fixedOrZero() const
    {
        static constexpr VsFixedFileInfo kNone{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        return fixed ? *fixed : kNone;
    }
};

TSsCustomVersionInfo::TSsCustomVersionInfo(QObject* owner)
    : TSsComponent(owner)
{
}

TSsCustomVersionInfo::~TSsCustomVersionInfo() = default;

std::string TSsCustomVersionInfo::GetFileName() const
{
    return effectiveFileName();
}

void TSsCustomVersionInfo::SetFileName(const std::string& fileName)
{
    if (!fileName.empty() && !VersionFileExists(fileName))
        throw ESsVersionInfoError(ssscFileOpenError);
    m_fileName = fileName;
    m_loaded.reset();
}

std::string TSsCustomVersionInfo::effectiveFileName() const
{
    return m_fileName.empty() ? RunningModulePath() : m_fileName;
}

const TSsCustomVersionInfo::Loaded& TSsCustomVersionInfo::load()
{
    if (m_loaded)
        return *m_loaded;
    FileVersionBlock read = GetFileVersionInfo(effectiveFileName());
    switch (read.error) {
    case FileVersionError::None:
        break;
    case FileVersionError::FileNotFound:
    case FileVersionError::FileUnreadable:
        throw ESsVersionInfoError(ssscFileOpenError);
    case FileVersionError::NoVersionInfo:
    case FileVersionError::BadFormat:
    case FileVersionError::VersionInfoDamaged:
        throw ESsVersionInfoError(ssscNoVersionInfo);
    }
    auto loaded = std::make_unique<Loaded>();
    loaded->block = std::move(read.block);
    if (auto translation = VerFirstTranslation(loaded->block)) {
        loaded->translation = *translation;
        loaded->prefix = SsFormat("StringFileInfo\\%.4x%.4x\\", {translation->language, translation->codePage});
    }
    loaded->fixed = VerQueryFixedInfo(loaded->block);
    m_loaded = std::move(loaded);
    return *m_loaded;
}

std::string TSsCustomVersionInfo::GetTranslationPrefix()
{
    return load().prefix;
}

std::uint16_t TSsCustomVersionInfo::GetLanguage()
{
    return load().translation.language;
}

std::uint16_t TSsCustomVersionInfo::GetCodePage()
{
    return load().translation.codePage;
}

std::string TSsCustomVersionInfo::GetKeyValue(const std::string& key)
{
    const Loaded& loaded = load();
    if (loaded.prefix.empty() || key.empty())
        throw ESsVersionInfoError(ssscVersionKeyNotFound);
    auto text = VerQueryString(loaded.block, "\\" + loaded.prefix + key);
    if (!text)
        throw ESsVersionInfoError(ssscVersionKeyNotFound);
    return *text;
}

double TSsCustomVersionInfo::versionNumber(const std::string& text) const
{
    auto number = VersionTextToNumber(text, LocaleDecimalSeparator());
    if (!number)
        throw ESsVersionInfoError(ssscVersionNotNumber, {text});
    return *number;
}

double TSsCustomVersionInfo::GetFileVersionFloat()
{
    return versionNumber(GetFileVersion());
}

double TSsCustomVersionInfo::GetProductVersionFloat()
{
    return versionNumber(GetProductVersion());
}

std::uint32_t TSsCustomVersionInfo::GetFileMajorVersion() { return load().fixedOrZero().dwFileVersionMS; }
std::uint32_t TSsCustomVersionInfo::GetFileMinorVersion() { return load().fixedOrZero().dwFileVersionLS; }
std::uint32_t TSsCustomVersionInfo::GetProductMajorVersion() { return load().fixedOrZero().dwProductVersionMS; }
std::uint32_t TSsCustomVersionInfo::GetProductMinorVersion() { return load().fixedOrZero().dwProductVersionLS; }
std::uint32_t TSsCustomVersionInfo::GetFileFlags() { return load().fixedOrZero().dwFileFlags; }
std::uint32_t TSsCustomVersionInfo::GetFileFlagsMask() { return load().fixedOrZero().dwFileFlagsMask; }
std::uint32_t TSsCustomVersionInfo::GetFileOS() { return load().fixedOrZero().dwFileOS; }
std::uint32_t TSsCustomVersionInfo::GetFileType() { return load().fixedOrZero().dwFileType; }
std::uint32_t TSsCustomVersionInfo::GetFileSubtype() { return load().fixedOrZero().dwFileSubtype; }
bool TSsCustomVersionInfo::HasFixedInfo() { return load().fixed.has_value(); }

std::uint64_t TSsCustomVersionInfo::GetFileDate()
{
    const VsFixedFileInfo& fixed = load().fixedOrZero();
    return (std::uint64_t(fixed.dwFileDateMS) << 32) | fixed.dwFileDateLS;
}
