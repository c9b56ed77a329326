#include "f_p.h"

#include "platform/application.h"
#include "platform/cp1250.h"
#include "platform/inifile.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMenu>
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

bool StorablePathAccepted(const QString& path)
{
    // A line break would end the settings line early.
    if (Cp1250::canEncode(path) && !path.contains(u'\n') && !path.contains(u'\r'))
        return true;
    MessageDlgBeep(QStringLiteral("Cesta obsahuje znaky, které program nedokáže uložit:\r") + path
            + QStringLiteral("\rZvolte jiný soubor nebo adresář."),
        MsgDlgType::Warning, MsgBtn::OK, 0);
    return false;
}

void OnExit(QWidget* control, std::function<void()> handler)
{
    class ExitFilter : public QObject {
    public:
        ExitFilter(QObject* parent, std::function<void()> handler)
            : QObject(parent)
            , m_handler(std::move(handler))
        {
        }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::FocusOut) {
                const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
                // A focus that goes to no control is no exit: it is how a
                // window being destroyed lets go of it, when the controls the
                // handler reads may be gone already.
                if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
                    && QApplication::focusWidget()) {
                    // The focus is still moving, and the click that moves
                    // it has not reached its control yet.
                    const EventPump::Hold moving;
                    RunGuarded(m_handler);
                }
            }
            return false;
        }

    private:
        std::function<void()> m_handler;
    };
    control->installEventFilter(new ExitFilter(control, std::move(handler)));
}

bool ReadShowIconForm(const IniReader& ini)
{
    return ini.readBool(QStringLiteral("Nastav"), QStringLiteral("zobriconform"), true);
}

namespace {
// The text as the Windows edit control held it: a line break is CR LF.
QString editControlText(const QString& plain)
{
    QString text = plain;
    text.replace(u'\n', QLatin1String("\r\n"));
    return text;
}

QString editControlText(const QTextEdit* memo)
{
    return editControlText(memo->toPlainText());
}
} // namespace

QString MemoPiece(int n, const QTextEdit* memo)
{
    return MemoPiece(n, memo->toPlainText());
}

QString MemoPiece(int n, const QString& text)
{
    const QByteArray bytes = Cp1250::encode(editControlText(text));
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

void LoadMemoLook(QTextEdit* memo, const IniReader& ini)
{
    const int zarov = ini.readInteger(MemoSection, AlignKey, 2);
    const int font = ini.readInteger(MemoSection, FontKey, 0);
    if (font > 0) {
        QFont f = memo->font();
        f.setPointSize(font);
        memo->setFont(f);
    }
    // The look the form opens with is no undo step.
    QTextDocument* doc = memo->document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    SetMemoAlignment(memo, zarov);
    doc->setUndoRedoEnabled(undo);
}

void SetMemoAlignment(QTextEdit* memo, int zarov)
{
    const Qt::Alignment alignment = zarov == 1 ? Qt::AlignLeft : zarov == 3 ? Qt::AlignRight : Qt::AlignHCenter;
    // The document's default covers text set later; the blocks there are now
    // get it explicitly.
    QTextDocument* doc = memo->document();
    const bool modified = doc->isModified();
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(alignment);
    doc->setDefaultTextOption(option);
    QTextCursor cursor(doc);
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(alignment);
    cursor.mergeBlockFormat(format);
    doc->setModified(modified);
}

void StepMemoFontSize(QTextEdit* memo, int delta)
{
    QFont f = memo->font();
    if (f.pointSize() + delta > 0) {
        f.setPointSize(f.pointSize() + delta);
        memo->setFont(f);
    }
}

QMenu* CreateMemoMenu(QTextEdit* memo, QWidget* owner, std::function<QString()> settingsFile)
{
    auto* menu = new QMenu(owner);
    menu->setObjectName(QStringLiteral("PMenuMemo"));
    QMenu* align = menu->addMenu(QStringLiteral("&zarovnání"));
    const std::pair<const char16_t*, int> alignments[] = { { u"v&levo", 1 }, { u"&střed", 2 }, { u"v&pravo", 3 } };
    for (const auto& [text, zarov] : alignments)
        QObject::connect(align->addAction(QString::fromUtf16(text)), &QAction::triggered, memo,
            [memo, z = zarov] { SetMemoAlignment(memo, z); });
    QMenu* size = menu->addMenu(QStringLiteral("&font velikost"));
    for (const int delta : { 1, -1 })
        QObject::connect(size->addAction(delta > 0 ? QStringLiteral("+1") : QStringLiteral("-1")), &QAction::triggered,
            memo, [memo, delta] { StepMemoFontSize(memo, delta); });
    menu->addSeparator();
    QObject::connect(menu->addAction(QStringLiteral("ulož jako výchozí")), &QAction::triggered, memo,
        [memo, settingsFile = std::move(settingsFile)] { RunGuarded([&] { SaveMemoLook(memo, settingsFile()); }); });
    memo->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(memo, &QWidget::customContextMenuRequested, menu,
        [memo, menu](const QPoint& pos) { menu->popup(memo->mapToGlobal(pos)); });
    return menu;
}

void LimitMemoToPieces(QTextEdit* memo, int pieces)
{
    LimitMemoLength(memo, pieces * MemoPieceLength);
}

void LimitMemoLength(QTextEdit* memo, int limit)
{
    const qsizetype maxLength = limit;
    QObject::connect(memo, &QTextEdit::textChanged, memo, [memo, maxLength] {
        for (;;) {
            const qsizetype excess = Cp1250::byteLength(editControlText(memo)) - maxLength;
            if (excess <= 0)
                return;
            QTextCursor cursor = memo->textCursor();
            if (cursor.position() == 0)
                cursor.movePosition(QTextCursor::End);
            cursor.setPosition(std::max<qsizetype>(0, cursor.position() - excess), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            memo->setTextCursor(cursor);
        }
    });
}
