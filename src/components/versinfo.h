#pragma once

#include <QByteArray>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include <bitset>
#include <cstdint>

// The entries of a version resource, by ordinal.
enum TPreDef {
    pdCompanyName,
    pdFileDescription,
    pdFileVersion,
    pdInternalName,
    pdLegalCopyright,
    pdLegalTrademarks,
    pdOriginalFilename,
    pdProductName,
    pdProductVersion,
    pdComments,
    pdBuildFlags,
};
constexpr int PreDefCount = 11;
using TPreDefs = std::bitset<PreDefCount>;
inline TPreDefs AllPreDefs()
{
    return TPreDefs().set();
}

// The key of an entry in the string table ("CompanyName") and its row
// caption in a list view ("Company Name").
QString PreDefKey(TPreDef entry);
QString PreDefCaption(TPreDef entry);

// Build flags of the fixed part, by bit: Debug, Info Inferred, Patched,
// Pre-Release, Private, Special.
using TBuildFlags = std::bitset<6>;

// The fixed part of a version block (VS_FIXEDFILEINFO); every value 0
// without one.
class TFixedFileVersionInfo {
public:
    // fixed: the fixed part's bytes, or empty.
    void Assign(const QByteArray& fixed);
    void Clear() { m_fixed.clear(); }
    bool Present() const { return !m_fixed.isEmpty(); }

    std::uint32_t FileVersionMS() const;
    std::uint32_t FileVersionLS() const;
    std::uint32_t ProductVersionMS() const;
    std::uint32_t ProductVersionLS() const;
    // From the file flags as they stand; the flags mask is not applied.
    TBuildFlags BuildFlags() const;

private:
    std::uint32_t Field(int at) const;

    QByteArray m_fixed;
};

// A four-part version number from two 32-bit halves: part 0 is the high word
// of the high half, part 3 the low word of the low half.
class TVersionNumberInformation {
public:
    void Set(std::uint32_t high, std::uint32_t low);
    void Invalidate();

    bool Valid() const { return m_valid; }
    std::uint32_t High() const { return m_high; }
    std::uint32_t Low() const { return m_low; }
    // 0 for every part when not valid, and for an index outside 0..3.
    int Part(int index) const;
    // "1.2.3.4"; empty when not valid.
    QString Text() const;

private:
    bool m_valid = false;
    std::uint32_t m_high = 0;
    std::uint32_t m_low = 0;
};

// The version information of a program file: its strings, its four-part
// file and product versions and its build flags, read through the version
// block that the file carries (see versionblock.h). It can write them into
// linked labels and fill a list view, which it forgets when they are
// destroyed. A file without a version block gives empty texts; nothing is
// reported.
//
// As a component on a form: set the properties, then call Loaded, which
// reads the block.
class TVersionInfoResource : public QObject {
    Q_OBJECT
public:
    explicit TVersionInfoResource(QObject* owner = nullptr);
    ~TVersionInfoResource() override;

    // Reads the block once the properties are set.
    virtual void Loaded();

    static QString Version() { return QStringLiteral("TVersionInfoResource v2.30"); }

    // Empty: the running program. Setting it re-reads.
    const QString& Filename() const { return m_filename; }
    void SetFilename(const QString& filename);
    // The kit is linked into each program, so the running module is always
    // the program; the property is kept, and a change re-reads.
    bool ForceEXE() const { return m_forceExe; }
    void SetForceEXE(bool force);

    // The entry of the selected translation's string table ("\StringFileInfo\"
    // + translation + "\" + key); the translation "040904E4" when the list has
    // no entry at the selected index. Empty for an index outside 0..10, with
    // no block, or when the entry does not exist.
    QString GetInfoString(int index) const;
    QString CompanyName() const { return GetInfoString(pdCompanyName); }
    QString FileDescription() const { return GetInfoString(pdFileDescription); }
    QString InternalName() const { return GetInfoString(pdInternalName); }
    QString LegalCopyright() const { return GetInfoString(pdLegalCopyright); }
    QString LegalTrademarks() const { return GetInfoString(pdLegalTrademarks); }
    QString OriginalFilename() const { return GetInfoString(pdOriginalFilename); }
    QString ProductName() const { return GetInfoString(pdProductName); }
    QString Comments() const { return GetInfoString(pdComments); }

    // Eight upper-case hexadecimal digits each: language, then code page.
    const QStringList& Translations() const { return m_translations; }
    // The translation whose strings are read: the first.
    int SelectedTranslation() const { return m_selected; }

    const TFixedFileVersionInfo& FixedFileInfo() const { return m_fixed; }
    const TVersionNumberInformation& FileVersion() const { return m_fileVersion; }
    const TVersionNumberInformation& ProductVersion() const { return m_productVersion; }

    // A linked label shows its entry and drops it from ShowResource; null
    // only unlinks.
    QLabel* VersionLabel() const { return m_versionLabel; }
    void SetVersionLabel(QLabel* label);
    QLabel* DescriptionLabel() const { return m_descriptionLabel; }
    void SetDescriptionLabel(QLabel* label);
    QLabel* CopyrightLabel() const { return m_copyrightLabel; }
    void SetCopyrightLabel(QLabel* label);
    QLabel* ProductLabel() const { return m_productLabel; }
    void SetProductLabel(QLabel* label);
    QTreeWidget* VersionListView() const { return m_listView; }
    void SetVersionListView(QTreeWidget* listView);
    // The rows the list view may show.
    TPreDefs ShowResource() const { return m_showResource; }
    void SetShowResource(TPreDefs entries);

    // The program file read: Filename, else the running program.
    virtual QString ModuleFileName() const;
    virtual void FillLinkedControls();
    virtual void FillVersionListView();
    // The names of the set build flags in bit order, joined by ", ".
    virtual QString BuildFlagsText() const;
    virtual void ReadVersionResource();

private:
    void SetLabel(QPointer<QLabel>& link, QLabel* label, TPreDef entry);

    QString m_filename;
    bool m_forceExe = false;
    QByteArray m_block;
    QStringList m_translations;
    int m_selected = 0;
    TFixedFileVersionInfo m_fixed;
    TVersionNumberInformation m_fileVersion;
    TVersionNumberInformation m_productVersion;
    QPointer<QLabel> m_versionLabel;
    QPointer<QLabel> m_descriptionLabel;
    QPointer<QLabel> m_copyrightLabel;
    QPointer<QLabel> m_productLabel;
    QPointer<QTreeWidget> m_listView;
    TPreDefs m_showResource = AllPreDefs();
};
