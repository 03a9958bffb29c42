// SPDX-License-Identifier: MIT
#pragma once
// Reader of one file's version information.
//
// FileName names the file; empty (the default) means the running program's
// own file, whose embedded version block gives our own version. Setting a
// name of a file that does not exist raises ESsVersionInfoError 73 and keeps
// the previous name; any change of name forgets what was read.
//
// The block is read on first use: the first translation under
// "\VarFileInfo\Translation" forms the prefix "StringFileInfo\%.4x%.4x\"
// (language, code page) of the strings, and the fixed file information is
// taken from the root. Errors on reading: 73 when the file cannot be opened,
// 100 when it has no (sound) version block; and, for a named string that is
// not in the block, 134.

#include "base/component/SsComponent.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TSsCustomVersionInfo : public TSsComponent {
    Q_OBJECT

public:
    explicit TSsCustomVersionInfo(QObject* owner = nullptr);
    ~TSsCustomVersionInfo() override;

    std::string GetFileName() const;
    void SetFileName(const std::string& fileName);

    // "StringFileInfo\040904b0\" for US English, Unicode; empty when the
    // block names no translation and holds no string table.
    std::string GetTranslationPrefix();
    std::uint16_t GetLanguage();
    std::uint16_t GetCodePage();

    // The string `key` of the block's translation (134 when missing).
    std::string GetKeyValue(const std::string& key);

    std::string GetFileVersion() { return GetKeyValue("FileVersion"); }
    std::string GetProductVersion() { return GetKeyValue("ProductVersion"); }
    std::string GetCompanyName() { return GetKeyValue("CompanyName"); }
    std::string GetFileDescription() { return GetKeyValue("FileDescription"); }
    std::string GetProductName() { return GetKeyValue("ProductName"); }
    std::string GetInternalName() { return GetKeyValue("InternalName"); }
    std::string GetOriginalFilename() { return GetKeyValue("OriginalFilename"); }
    std::string GetLegalCopyright() { return GetKeyValue("LegalCopyright"); }
    std::string GetComments() { return GetKeyValue("Comments"); }

    // "FileVersion" and "ProductVersion" as numbers: a plain decimal text as
    // it is, otherwise the text up to its second "." (at most 5 characters),
    // with the locale's decimal separator; 4.72.3110.0 gives 4.72. A text
    // that is no number even so raises ESsVersionInfoError 101.
    double GetFileVersionFloat();
    double GetProductVersionFloat();

    // The fixed file information (all 0 when the block has none). The
    // "major" and "minor" versions are the high and low 32 bits of the
    // version: major.minor and build.revision, 16 bits each.
    std::uint32_t GetFileMajorVersion();
    std::uint32_t GetFileMinorVersion();
    std::uint32_t GetProductMajorVersion();
    std::uint32_t GetProductMinorVersion();
    std::uint32_t GetFileFlags();
    std::uint32_t GetFileFlagsMask();
    std::uint32_t GetFileOS();
    std::uint32_t GetFileType();
    std::uint32_t GetFileSubtype();
    std::uint64_t GetFileDate();
    bool HasFixedInfo();

private:
    struct Loaded;

    const Loaded& load();
    std::string effectiveFileName() const;
    double versionNumber(const std::string& text) const;

    std::string m_fileName;
    std::unique_ptr<Loaded> m_loaded;
};

// The published reader: the same, with its values as properties.
class TSsVersionInfo : public TSsCustomVersionInfo {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileNameProperty WRITE setFileNameProperty)
    Q_PROPERTY(QString FileVersion READ fileVersionProperty STORED false)
    Q_PROPERTY(QString ProductVersion READ productVersionProperty STORED false)
    Q_PROPERTY(double FileVersionFloat READ GetFileVersionFloat STORED false)
    Q_PROPERTY(double ProductVersionFloat READ GetProductVersionFloat STORED false)

public:
    using TSsCustomVersionInfo::TSsCustomVersionInfo;

private:
    QString fileNameProperty() const { return QString::fromStdString(GetFileName()); }
    void setFileNameProperty(const QString& name) { SetFileName(name.toStdString()); }
    QString fileVersionProperty() { return QString::fromStdString(GetFileVersion()); }
    QString productVersionProperty() { return QString::fromStdString(GetProductVersion()); }
};
