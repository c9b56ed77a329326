#include "versinfo.h"

#include "components/korvelversion.h"
#include "components/versionblock.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>
#include <array>

namespace {

// The version resource of every program that links this unit: written at
// compile time, it lies in the program file's read-only data, where the
// reader (or any other tool) finds it.
constexpr VersionBlock::StringEntry OwnStrings[] = {
    { u"CompanyName", KorvelVersion::CompanyName },
    { u"FileDescription", KorvelVersion::FileDescription },
    { u"FileVersion", KorvelVersion::FileVersion },
    { u"InternalName", KorvelVersion::InternalName },
    { u"LegalCopyright", KorvelVersion::LegalCopyright },
    { u"ProductName", KorvelVersion::ProductName },
    { u"ProductVersion", KorvelVersion::ProductVersion },
    { u"Comments", KorvelVersion::Comments },
};
constexpr VersionBlock::Translation OwnTranslations[] = { { KorvelVersion::Language, KorvelVersion::CodePage } };
constexpr std::uint32_t OwnVersionMS = std::uint32_t(KorvelVersion::Major) << 16 | KorvelVersion::Minor;
constexpr std::uint32_t OwnVersionLS = std::uint32_t(KorvelVersion::Patch) << 16 | KorvelVersion::Build;
constexpr VersionBlock::Content OwnContent {
    .FixedInfo = { .FileVersionMS = OwnVersionMS,
        .FileVersionLS = OwnVersionLS,
        .ProductVersionMS = OwnVersionMS,
        .ProductVersionLS = OwnVersionLS,
        .FileFlags = KorvelVersion::FileFlags },
    .TableKey = KorvelVersion::TableKey,
    .Strings = OwnStrings,
    .Translations = OwnTranslations,
};
constexpr std::size_t OwnBlockSize = VersionBlock::Write(OwnContent).size();
[[gnu::used]] constexpr std::array<unsigned char, OwnBlockSize> OwnBlock = [] {
    std::array<unsigned char, OwnBlockSize> block {};
    const std::vector<unsigned char> bytes = VersionBlock::Write(OwnContent);
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}();

struct PreDefText {
    const char* Key;
    const char* Caption;
};
constexpr PreDefText PreDefTexts[PreDefCount] = {
    { "CompanyName", "Company Name" },
    { "FileDescription", "File Description" },
    { "FileVersion", "File Version" },
    { "InternalName", "Internal Name" },
    { "LegalCopyright", "Legal Copyright" },
    { "LegalTrademarks", "Legal Trademarks" },
    { "OriginalFilename", "Original Filename" },
    { "ProductName", "Product Name" },
    { "ProductVersion", "Product Version" },
    { "Comments", "Comments" },
    { "BuildFlags", "Build Flags" },
};

// Bit of the build-flag set, file flag, name.
struct BuildFlag {
    std::uint32_t FileFlag;
    const char* Name;
};
constexpr BuildFlag BuildFlagNames[] = {
    { 0x01, "Debug" },
    { 0x10, "Info Inferred" },
    { 0x04, "Patched" },
    { 0x02, "Pre-Release" },
    { 0x08, "Private" },
    { 0x20, "Special" },
};
static_assert(std::size(BuildFlagNames) == TBuildFlags().size());

const QString FallbackTranslation = QStringLiteral("040904E4");

} // namespace

QString PreDefKey(TPreDef entry)
{
    return QString::fromLatin1(PreDefTexts[entry].Key);
}

QString PreDefCaption(TPreDef entry)
{
    return QString::fromLatin1(PreDefTexts[entry].Caption);
}

void TFixedFileVersionInfo::Assign(const QByteArray& fixed)
{
    m_fixed = fixed.size() >= VersionBlock::FixedSize ? fixed.left(VersionBlock::FixedSize) : QByteArray();
}

std::uint32_t TFixedFileVersionInfo::Field(int at) const
{
    return Present() ? VersionBlock::Dword(m_fixed, at) : 0;
}

std::uint32_t TFixedFileVersionInfo::FileVersionMS() const
{
    return Field(VersionBlock::AtFileVersionMS);
}

std::uint32_t TFixedFileVersionInfo::FileVersionLS() const
{
    return Field(VersionBlock::AtFileVersionLS);
}

std::uint32_t TFixedFileVersionInfo::ProductVersionMS() const
{
    return Field(VersionBlock::AtProductVersionMS);
}

std::uint32_t TFixedFileVersionInfo::ProductVersionLS() const
{
    return Field(VersionBlock::AtProductVersionLS);
}

TBuildFlags TFixedFileVersionInfo::BuildFlags() const
{
    const std::uint32_t flags = Field(VersionBlock::AtFileFlags);
    TBuildFlags set;
    for (std::size_t bit = 0; bit < set.size(); ++bit)
        set[bit] = (flags & BuildFlagNames[bit].FileFlag) != 0;
    return set;
}

void TVersionNumberInformation::Set(std::uint32_t high, std::uint32_t low)
{
    m_valid = true;
    m_high = high;
    m_low = low;
}

void TVersionNumberInformation::Invalidate()
{
    m_valid = false;
    m_high = 0;
    m_low = 0;
}

int TVersionNumberInformation::Part(int index) const
{
    if (!m_valid)
        return 0;
    switch (index) {
    case 0:
        return int(m_high >> 16);
    case 1:
        return int(m_high & 0xFFFF);
    case 2:
        return int(m_low >> 16);
    case 3:
        return int(m_low & 0xFFFF);
    default:
        return 0;
    }
}

QString TVersionNumberInformation::Text() const
{
    if (!m_valid)
        return {};
    return QStringLiteral("%1.%2.%3.%4").arg(Part(0)).arg(Part(1)).arg(Part(2)).arg(Part(3));
}

TVersionInfoResource::TVersionInfoResource(QObject* owner)
    : QObject(owner)
{
}

TVersionInfoResource::~TVersionInfoResource() = default;

void TVersionInfoResource::Loaded()
{
    ReadVersionResource();
}

void TVersionInfoResource::SetFilename(const QString& filename)
{
    m_filename = filename;
    ReadVersionResource();
}

void TVersionInfoResource::SetForceEXE(bool force)
{
    if (force == m_forceExe)
        return;
    m_forceExe = force;
    ReadVersionResource();
}

QString TVersionInfoResource::GetInfoString(int index) const
{
    if (index < 0 || index >= PreDefCount)
        return {};
    const QString& translation
        = m_selected < m_translations.size() ? m_translations.at(m_selected) : FallbackTranslation;
    return VersionBlock::QueryText(
        m_block, QStringLiteral("\\StringFileInfo\\") + translation + u'\\' + PreDefKey(static_cast<TPreDef>(index)));
}

QString TVersionInfoResource::ModuleFileName() const
{
    // The whole name: a path cut short would name another file.
    return m_filename.isEmpty() ? QCoreApplication::applicationFilePath() : m_filename;
}

void TVersionInfoResource::ReadVersionResource()
{
    m_translations.clear();
    m_fixed.Clear();
    m_block = VersionBlock::FromFile(ModuleFileName());
    if (m_block.isEmpty()) {
        m_fileVersion.Invalidate();
        m_productVersion.Invalidate();
    } else {
        const VersionBlock::ValueRef root = VersionBlock::Query(m_block, u"\\");
        if (root.Found())
            m_fixed.Assign(m_block.mid(root.Offset, root.Size));
        const VersionBlock::ValueRef table = VersionBlock::Query(m_block, u"\\VarFileInfo\\Translation");
        for (qsizetype at = table.Offset; table.Found() && at + 4 <= table.Offset + table.Size; at += 4) {
            quint16 language = VersionBlock::Word(m_block, at);
            quint16 codePage = VersionBlock::Word(m_block, at + 2);
            if (language == 0)
                language = 1033;
            if (codePage == 0)
                codePage = 1252;
            m_translations.append(QStringLiteral("%1%2")
                                      .arg(language, 4, 16, QLatin1Char('0'))
                                      .arg(codePage, 4, 16, QLatin1Char('0'))
                                      .toUpper());
        }
        m_fileVersion.Set(m_fixed.FileVersionMS(), m_fixed.FileVersionLS());
        m_productVersion.Set(m_fixed.ProductVersionMS(), m_fixed.ProductVersionLS());
    }
    if (m_selected >= m_translations.size())
        m_selected = 0;
    FillLinkedControls();
}

QString TVersionInfoResource::BuildFlagsText() const
{
    const TBuildFlags flags = m_fixed.BuildFlags();
    QStringList names;
    for (std::size_t bit = 0; bit < flags.size(); ++bit)
        if (flags[bit])
            names.append(QString::fromLatin1(BuildFlagNames[bit].Name));
    return names.join(QStringLiteral(", "));
}

void TVersionInfoResource::SetLabel(QPointer<QLabel>& link, QLabel* label, TPreDef entry)
{
    link = label;
    if (!label)
        return;
    m_showResource.reset(entry);
    FillLinkedControls();
}

void TVersionInfoResource::SetVersionLabel(QLabel* label)
{
    SetLabel(m_versionLabel, label, pdFileVersion);
}

void TVersionInfoResource::SetDescriptionLabel(QLabel* label)
{
    SetLabel(m_descriptionLabel, label, pdFileDescription);
}

void TVersionInfoResource::SetCopyrightLabel(QLabel* label)
{
    SetLabel(m_copyrightLabel, label, pdLegalCopyright);
}

void TVersionInfoResource::SetProductLabel(QLabel* label)
{
    SetLabel(m_productLabel, label, pdProductName);
}

void TVersionInfoResource::SetVersionListView(QTreeWidget* listView)
{
    m_listView = listView;
    if (listView)
        FillLinkedControls();
}

void TVersionInfoResource::SetShowResource(TPreDefs entries)
{
    if (entries == m_showResource)
        return;
    m_showResource = entries;
    FillLinkedControls();
}

void TVersionInfoResource::FillLinkedControls()
{
    if (m_versionLabel)
        m_versionLabel->setText(m_fileVersion.Text());
    if (m_copyrightLabel)
        m_copyrightLabel->setText(LegalCopyright());
    if (m_productLabel)
        m_productLabel->setText(ProductName());
    if (m_descriptionLabel)
        m_descriptionLabel->setText(FileDescription());
    if (m_listView)
        FillVersionListView();
}

void TVersionInfoResource::FillVersionListView()
{
    QTreeWidget* view = m_listView;
    if (!view)
        return;
    view->clear();
    view->setRootIsDecorated(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHeaderLabels({ QStringLiteral("Resource"), QStringLiteral("Value") });
    QHeaderView* header = view->header();
    header->setSectionsClickable(false);
    for (int column = 0; column < 2; ++column)
        header->resizeSection(column, header->sectionSizeHint(column));

    const std::pair<TPreDef, QString> rows[] = {
        { pdProductName, ProductName() },
        { pdProductVersion, m_productVersion.Text() },
        { pdCompanyName, CompanyName() },
        { pdLegalCopyright, LegalCopyright() },
        { pdLegalTrademarks, LegalTrademarks() },
        { pdFileDescription, FileDescription() },
        { pdFileVersion, m_fileVersion.Text() },
        { pdInternalName, InternalName() },
        { pdOriginalFilename, OriginalFilename() },
        { pdBuildFlags, BuildFlagsText() },
        { pdComments, Comments() },
    };
    for (const auto& [entry, value] : rows)
        if (!value.isEmpty() && m_showResource.test(entry))
            new QTreeWidgetItem(view, { PreDefCaption(entry), value });
}
