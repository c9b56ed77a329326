#include "f_p.h"

#include "platform/cp1250.h"
#include "platform/inifile.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

QString IniReadString(const QString& iniPath, const QString& section, const QString& key, const QString& def)
{
    return IniFile(iniPath).readString(section, key, def);
}

void IniWriteString(const QString& iniPath, const QString& section, const QString& key, const QString& value)
{
    IniFile(iniPath).writeString(section, key, value);
}

int IniReadInteger(const QString& iniPath, const QString& section, const QString& key, int def)
{
    return IniFile(iniPath).readInteger(section, key, def);
}

void IniWriteInteger(const QString& iniPath, const QString& section, const QString& key, int value)
{
    IniFile(iniPath).writeInteger(section, key, value);
}

bool IniReadBool(const QString& iniPath, const QString& section, const QString& key, bool def)
{
    return IniFile(iniPath).readBool(section, key, def);
}

void IniWriteBool(const QString& iniPath, const QString& section, const QString& key, bool value)
{
    IniFile(iniPath).writeBool(section, key, value);
}

int MessageDlgCentered(const QString& text, MsgDlgType type, int buttons, int helpContext)
{
    // The dialog service centres over the active window itself.
    return Dialogs::messageDlg(text, type, buttons, helpContext);
}

int MessageDlgBeep(const QString& text, MsgDlgType type, int buttons, int helpContext)
{
    Dialogs::messageBeep(type);
    return MessageDlgCentered(text, type, buttons, helpContext);
}

bool ReadShowIconForm(const QString& iniPath)
{
    return IniReadBool(iniPath, QStringLiteral("Nastav"), QStringLiteral("zobriconform"), true);
}

QString MemoPiece(int n, const QTextEdit* memo)
{
    QString text = memo->toPlainText();
    text.replace(u'\n', QLatin1String("\r\n"));
    const QByteArray bytes = Cp1250::encode(text);
    const qsizetype start = qsizetype(n - 1) * MemoPieceLength;
    if (n < 1 || start >= bytes.size())
        return {};
    return Cp1250::decode(
        QByteArrayView(bytes).sliced(start, std::min<qsizetype>(MemoPieceLength, bytes.size() - start)));
}

QString JoinMemoPieces(const QStringList& pieces)
{
    QString text = pieces.join(QString());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

namespace {
constexpr auto MemoSection = "Memo";
constexpr auto AlignKey = "zarov";
constexpr auto FontKey = "font";

Qt::Alignment memoAlignment(const QTextEdit* memo)
{
    const QTextBlockFormat first = memo->document()->firstBlock().blockFormat();
    if (first.hasProperty(QTextFormat::BlockAlignment))
        return first.alignment();
    return memo->document()->defaultTextOption().alignment();
}
} // namespace

void SaveMemoLook(const QTextEdit* memo, const QString& iniPath)
{
    const Qt::Alignment h = memoAlignment(memo) & Qt::AlignHorizontal_Mask;
    const int zarov = (h & Qt::AlignRight) ? 3 : (h & Qt::AlignHCenter) ? 2 : 1;
    IniFile ini(iniPath);
    ini.writeInteger(MemoSection, AlignKey, zarov);
    ini.writeInteger(MemoSection, FontKey, memo->font().pointSize());
}

void LoadMemoLook(QTextEdit* memo, const QString& iniPath)
{
    const IniFile ini(iniPath);
    const int zarov = ini.readInteger(MemoSection, AlignKey, 2);
    const int font = ini.readInteger(MemoSection, FontKey, 0);
    if (font > 0) {
        QFont f = memo->font();
        f.setPointSize(font);
        memo->setFont(f);
    }
    const Qt::Alignment alignment = zarov == 1 ? Qt::AlignLeft : zarov == 3 ? Qt::AlignRight : Qt::AlignHCenter;

    // The document's default covers text set later; the blocks there are now
    // get it explicitly, as no undo step and no change of the modified state.
    QTextDocument* doc = memo->document();
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(alignment);
    doc->setDefaultTextOption(option);
    const bool modified = doc->isModified();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(alignment);
    cursor.mergeBlockFormat(format);
    doc->setUndoRedoEnabled(undo);
    doc->setModified(modified);
}
