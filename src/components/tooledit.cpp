#include "tooledit.h"

#include "components/contexthelp.h"
#include "components/fileutil.h"
#include "components/kiterrors.h"
#include "components/maxmin.h"
#include "components/strutils.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QUrl>

namespace {

constexpr int DefaultButtonWidth = 21;
// Cells of the default glyph.
constexpr int DefaultNumGlyphs = 1;

// The folder glyph: 16 colours, the bottom-left pixel the transparent one.
const char* const FolderGlyphXpm[] = {
    "14 12 5 1",
    ". c #FF00FF",
    "k c #000000",
    "y c #FFFF00",
    "o c #808000",
    "w c #FFFFFF",
    "..............",
    ".kkkk.........",
    "kwyyyk........",
    "kyyyyykkkkkkk.",
    "kywwwwwwwwwwk.",
    "kywyyyyyyyyyko",
    "kywyyyyyyyyyko",
    "kywyyyyyyyyyko",
    "kywyyyyyyyyyko",
    "kyyyyyyyyyyyko",
    "kkkkkkkkkkkkko",
    ".ooooooooooooo",
};

// A combo box's arrow: 7 x 4 black on the transparent colour.
QPixmap DropDownGlyph()
{
    QImage image(7, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    for (int row = 0; row < 4; ++row)
        for (int x = row; x < 7 - row; ++x)
            image.setPixel(x, row, qRgb(0, 0, 0));
    return QPixmap::fromImage(image);
}

// Three black 2 x 2 dots in rows 1 and 2 of a white picture.
QPixmap MakeEllipsisGlyph(int width)
{
    QImage image(width, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    const int gap = qBound(1, (width - 6) / 2, 3);
    int x = (width - 6 - 2 * gap) / 2;
    QPainter p(&image);
    for (int dot = 0; dot < 3; ++dot, x += 2 + gap)
        p.fillRect(QRect(x, 1, 2, 2), Qt::black);
    p.end();
    return QPixmap::fromImage(image);
}

bool CanTakeFocus(const QWidget* w)
{
    return w->isEnabled() && w->isVisible() && w->focusPolicy() != Qt::NoFocus;
}

QStringList LocalFiles(const QMimeData* mime)
{
    QStringList names;
    if (mime->hasUrls())
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile())
                names.append(url.toLocalFile());
    return names;
}

// Pattern letters match both cases: Linux names are case-sensitive, Windows
// names were not.
QString CaseFreePattern(const QString& pattern)
{
    if (pattern == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString result;
    for (QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (lower != upper)
            result += u'[' + lower + upper + u']';
        else
            result += c;
    }
    return result;
}

} // namespace

// ---------------------------------------------------------------- TEditButton

TEditButton::TEditButton(TCustomComboEdit* edit, QWidget* parent)
    : TKitSpeedButton(parent)
    , m_edit(edit)
{
}

void TEditButton::Paint(QPainter& painter)
{
    TKitSpeedButton::Paint(painter);
    if (State() == bsDown || State() == bsExclusive)
        return;
    painter.fillRect(QRect(0, 0, 1, height()), SystemColor(clBtnFace));
    painter.fillRect(QRect(1, 1, 1, height() - 2), SystemColor(clBtnHighlight));
}

void TEditButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    if (button == Qt::LeftButton) {
        m_swallowClick = m_edit->PopupVisible();
        if (m_swallowClick)
            m_edit->ClosePopup(true);
        else if ((m_edit->focusPolicy() & Qt::TabFocus) && CanTakeFocus(m_edit) && !m_edit->hasFocus())
            m_edit->setFocus(Qt::MouseFocusReason);
    }
    TKitSpeedButton::MouseDown(button, modifiers, pos);
}

void TEditButton::Click()
{
    if (m_swallowClick) {
        m_swallowClick = false;
        return;
    }
    TKitSpeedButton::Click();
}

// ---------------------------------------------------------------- TCustomComboEdit

TCustomComboEdit::TCustomComboEdit(QWidget* parent)
    : QLineEdit(parent)
{
    m_btnControl = new QWidget(this);
    m_btnControl->setObjectName(QStringLiteral("ButtonControl"));
    m_btnControl->setCursor(Qt::ArrowCursor);
    m_btnControl->resize(DefaultButtonWidth, 17);
    m_button = new TEditButton(this, m_btnControl);
    m_button->setObjectName(QStringLiteral("Button"));
    m_button->setGeometry(0, 0, DefaultButtonWidth, 17);
    connect(m_button, &TKitSpeedButton::OnClick, this, &TCustomComboEdit::EmbeddedButtonClicked);
    connect(this, &QLineEdit::textChanged, this, &TCustomComboEdit::Change);
    resize(width(), 21);
    UpdateMinimumHeight();
    PlaceButton();
}

TCustomComboEdit::~TCustomComboEdit()
{
    disconnect(m_button, nullptr, this, nullptr);
    if (m_popupVisible)
        qApp->removeEventFilter(this);
}

QString TCustomComboEdit::ButtonHint() const
{
    return m_button->toolTip();
}

void TCustomComboEdit::SetButtonHint(const QString& hint)
{
    m_button->setToolTip(hint);
}

int TCustomComboEdit::ButtonWidth() const
{
    return m_button->width();
}

void TCustomComboEdit::SetButtonWidth(int width)
{
    if (width == ButtonWidth())
        return;
    // While a kit edit is being made its own width means nothing yet.
    if (!m_constructing && width >= this->width() - 2 * FrameWidth())
        return;
    m_button->resize(width, m_button->height());
    PlaceButton();
    RecreateGlyph(false);
}

void TCustomComboEdit::SetDirectInput(bool on)
{
    m_directInput = on;
    ApplyReadOnly();
}

void TCustomComboEdit::SetReadOnly(bool on)
{
    if (on == m_readOnly)
        return;
    m_readOnly = on;
    ApplyReadOnly();
}

void TCustomComboEdit::ApplyReadOnly()
{
    QLineEdit::setReadOnly(m_readOnly || !m_directInput);
}

QPixmap TCustomComboEdit::Glyph() const
{
    return m_button->Glyph();
}

void TCustomComboEdit::SetGlyph(const QPixmap& glyph)
{
    m_button->SetGlyph(glyph);
    m_glyphKind = gkCustom;
}

int TCustomComboEdit::NumGlyphs() const
{
    return m_button->NumGlyphs();
}

void TCustomComboEdit::SetNumGlyphs(int count)
{
    switch (m_glyphKind) {
    case gkDropDown:
    case gkEllipsis:
        count = 1;
        break;
    case gkDefault:
        count = DefaultNumGlyphs;
        break;
    case gkCustom:
        break;
    }
    m_button->SetNumGlyphs(count);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind)
{
    if (kind == m_glyphKind)
        return;
    m_glyphKind = kind;
    RecreateGlyph(true);
}

QPixmap TCustomComboEdit::DefaultButtonGlyph() const
{
    return {};
}

void TCustomComboEdit::RecreateGlyph(bool fitWidth)
{
    switch (m_glyphKind) {
    case gkCustom:
        break;
    case gkDefault: {
        const QPixmap glyph = DefaultButtonGlyph();
        if (glyph.isNull())
            break;
        m_button->SetGlyph(glyph);
        m_button->SetNumGlyphs(DefaultNumGlyphs);
        if (fitWidth)
            SetButtonWidth(IntMax(glyph.width() / m_button->NumGlyphs() + 6, ButtonWidth()));
        break;
    }
    case gkDropDown:
        m_button->SetGlyph(DropDownGlyph());
        m_button->SetNumGlyphs(1);
        if (fitWidth)
            SetButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
        break;
    case gkEllipsis:
        m_button->SetGlyph(MakeEllipsisGlyph(IntMax(1, ButtonWidth() - 6)));
        m_button->SetNumGlyphs(1);
        break;
    }
}

int TCustomComboEdit::FrameWidth() const
{
    return hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
}

void TCustomComboEdit::PlaceButton()
{
    const int frame = FrameWidth();
    const int w = ButtonWidth();
    m_btnControl->setGeometry(width() - frame - w, frame, w, height() - 2 * frame);
    m_btnControl->setVisible(w > 1);
    m_button->setGeometry(0, 0, w, m_btnControl->height());
    setTextMargins(0, 0, w + 2, 0);
}

void TCustomComboEdit::UpdateMinimumHeight()
{
    const int textHeight = IntMin(QFontMetrics(QApplication::font()).height(), fontMetrics().height());
    setMinimumHeight(textHeight + 4 + 1);
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceButton();
}

void TCustomComboEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateMinimumHeight();
        PlaceButton();
    }
}

void TCustomComboEdit::FocusIfPossible()
{
    if (CanTakeFocus(this))
        setFocus(Qt::OtherFocusReason);
}

void TCustomComboEdit::EmbeddedButtonClicked()
{
    if (!ReadOnly())
        RunButtonAction();
}

void TCustomComboEdit::RunButtonAction()
{
    emit OnButtonClick();
    if (!m_popup)
        return;
    if (m_popupVisible)
        ClosePopup(true);
    else
        OpenPopup(true);
}

void TCustomComboEdit::Change()
{
    if (m_popupVisible)
        PopupTextChanged();
    else
        emit OnChange();
}

void TCustomComboEdit::keyPressEvent(QKeyEvent* event)
{
    const auto modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (QKeyCombination(modifiers, Qt::Key(event->key())) == m_clickKey && ButtonWidth() > 0) {
        event->accept();
        RunGuarded([this] { EmbeddedButtonClicked(); });
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (m_popupVisible) {
            event->accept();
            RunGuarded([&] { ClosePopup(event->key() != Qt::Key_Escape); });
            return;
        }
        // Not for the edit: the form's default and cancel buttons take them.
        QLineEdit::keyPressEvent(event);
        event->ignore();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void TCustomComboEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        break;
    default:
        if (m_autoSelect && m_directInput)
            selectAll();
        else
            deselect();
    }
}

void TCustomComboEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    RunGuarded([this] { ClosePopup(false); });
}

void TCustomComboEdit::mousePressEvent(QMouseEvent* event)
{
    if (m_popup && event->button() == Qt::LeftButton) {
        if (CanTakeFocus(this))
            setFocus(Qt::MouseFocusReason);
        if (!hasFocus())
            return;
        RunGuarded([this] { ClosePopup(false); });
    }
    QLineEdit::mousePressEvent(event);
}

void TCustomComboEdit::OpenPopup(bool disableEdit)
{
    if (!m_popup || ReadOnly() || m_popupVisible)
        return;
    const QPoint p = mapToGlobal(QPoint(0, 0));
    const QRect screen = this->screen()->geometry();
    const int pw = m_popup->width();
    const int ph = m_popup->height();
    int y = p.y() + height();
    if (y + ph > screen.bottom() + 1)
        y = p.y() - ph;
    int x = p.x();
    if (m_popupAlign == 0) {
        x = p.x() - (pw - width());
        if (x < screen.left())
            x = p.x();
    } else if (m_popupAlign == 1 && x + pw > screen.right() + 1) {
        x -= pw - width();
    }
    x = qMax(screen.left(), qMin(x, screen.right() + 1 - pw));
    PutValueToPopup(text().isEmpty() ? QVariant() : QVariant(text()));
    FocusIfPossible();
    PlacePopupAt(x, y);
    m_popupVisible = true;
    qApp->installEventFilter(this);
    if (disableEdit)
        QLineEdit::setReadOnly(true);
}

void TCustomComboEdit::PlacePopupAt(int x, int y)
{
    m_popup->move(x, y);
    m_popup->setAttribute(Qt::WA_ShowWithoutActivating);
    m_popup->show();
}

void TCustomComboEdit::ConcealPopup()
{
    m_popup->hide();
}

void TCustomComboEdit::ClosePopup(bool accept)
{
    if (!m_popupVisible)
        return;
    const auto cleared = qScopeGuard([this] {
        m_popupVisible = false;
        qApp->removeEventFilter(this);
    });
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    const QVariant value = ReadPopupValue();
    if (m_popup)
        ConcealPopup();
    FocusIfPossible();
    ApplyReadOnly();
    update();
    if (accept && PopupAcceptable() && EditCanModify()) {
        TakePopupValue(value);
        if (hasFocus())
            selectAll();
    }
}

void TCustomComboEdit::TakePopupValue(const QVariant& value)
{
    if (text() == value.toString())
        return;
    setText(value.toString());
    setModified(true);
    m_popupVisible = m_popup && m_popup->isVisible();
    Change();
}

bool TCustomComboEdit::eventFilter(QObject* watched, QEvent* event)
{
    // A press on any other control cancels the popup.
    if (m_popupVisible && event->type() == QEvent::MouseButtonPress) {
        auto* target = qobject_cast<QWidget*>(watched);
        if (target && target != m_button && m_popup && target != m_popup.data() && !m_popup->isAncestorOf(target))
            RunGuarded([this] { ClosePopup(false); });
    }
    return QLineEdit::eventFilter(watched, event);
}

// ---------------------------------------------------------------- TFileDirEdit

TFileDirEdit::TFileDirEdit(QWidget* parent)
    : TCustomComboEdit(parent)
{
    const QScopedValueRollback constructing(m_constructing, true);
    SetGlyphKind(gkDefault);
}

QPixmap TFileDirEdit::FolderGlyph()
{
    static const QPixmap glyph(FolderGlyphXpm);
    return glyph;
}

QPixmap TFileDirEdit::DefaultButtonGlyph() const
{
    return FolderGlyph();
}

void TFileDirEdit::SetAcceptFiles(bool on)
{
    m_acceptFiles = on;
    if (on)
        setAcceptDrops(true);
}

void TFileDirEdit::FireBeforeDialog(QString& name, bool& action)
{
    if (OnBeforeDialog)
        OnBeforeDialog(this, name, action);
}

void TFileDirEdit::FireAfterDialog(QString& name, bool& action)
{
    if (OnAfterDialog)
        OnAfterDialog(this, name, action);
}

void TFileDirEdit::DropFiles(const QStringList& names)
{
    if (names.isEmpty())
        return;
    ClearDialogFiles();
    for (const QString& name : names) {
        TakeDroppedName(name);
        if (!m_multiple)
            break;
    }
    emit OnDropFiles();
}

void TFileDirEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_acceptFiles && !LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        TCustomComboEdit::dragEnterEvent(event);
}

void TFileDirEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_acceptFiles && !LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        TCustomComboEdit::dragMoveEvent(event);
}

void TFileDirEdit::dropEvent(QDropEvent* event)
{
    const QStringList names = m_acceptFiles ? LocalFiles(event->mimeData()) : QStringList();
    if (names.isEmpty()) {
        TCustomComboEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    RunGuarded([&] { DropFiles(names); });
}

// ---------------------------------------------------------------- TFilenameEdit

TFilenameEdit::TFilenameEdit(QWidget* parent)
    : TFileDirEdit(parent)
{
}

QString TFilenameEdit::QuoteFileName(const QString& name)
{
    if (!name.contains(u' ') || name.startsWith(u'"'))
        return name;
    return u'"' + name + u'"';
}

QString TFilenameEdit::FileNameFromText(const QString& text)
{
    if (StoredFileExists(text))
        return text;
    // A name typed for a file still to be made keeps its blanks.
    QString name = text.trimmed();
    if (name.startsWith(u'"'))
        name.remove(0, 1);
    if (name.endsWith(u'"'))
        name.chop(1);
    return name;
}

QString TFilenameEdit::FileName() const
{
    return FileNameFromText(text());
}

void TFilenameEdit::SetFileName(const QString& name)
{
    if (name.isEmpty()) {
        setText(QString());
    } else {
        if (!IsAcceptableFileName(FileNameFromText(name)))
            throw EComboEditError(QStringLiteral("Invalid file name - ") + name);
        setText(QuoteFileName(name));
    }
    ClearDialogFiles();
}

void TFilenameEdit::SetDialogOptions(TOpenOptions options)
{
    if (options == m_options)
        return;
    m_options = options;
    m_multiple = options.testFlag(ofAllowMultiSelect);
    if (!m_multiple)
        ClearDialogFiles();
}

QString TFilenameEdit::LongPathText() const
{
    return ToLongFileName(FileName());
}

QString TFilenameEdit::ShortPathText() const
{
    return ToShortFileName(FileName());
}

void TFilenameEdit::TakeDroppedName(const QString& name)
{
    if (!m_multiple) {
        SetFileName(name);
        return;
    }
    if (m_files.isEmpty())
        SetFileName(name);
    m_files.append(name);
}

QStringList TFilenameEdit::QtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The patterns the description shows are replaced by the ones used.
        if (description.endsWith(u')')) {
            const qsizetype open = description.lastIndexOf(u'(');
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            if (!pattern.trimmed().isEmpty())
                patterns.append(CaseFreePattern(pattern.trimmed()));
        if (patterns.isEmpty())
            continue;
        result.append(description + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result;
}

void TFilenameEdit::RunButtonAction()
{
    TFileDirEdit::RunButtonAction();
    QString name = FileName();
    bool action = true;
    FireBeforeDialog(name, action);
    if (!action)
        return;
    if (IsAcceptableFileName(name)) {
        const QString folder = ExtractFilePath(name);
        if (IsExistingDirectory(folder))
            m_initialDir = folder;
        if (!IsAcceptableFileName(ExtractFileName(name)))
            name.clear();
        m_dialogFileName = name;
    }

    // The dialog opens in the folder of its file name, or in InitialDir.
    QString start = m_dialogFileName.isEmpty() ? m_initialDir : m_dialogFileName;
    if (!m_dialogFileName.isEmpty() && ExtractFilePath(m_dialogFileName).isEmpty() && !m_initialDir.isEmpty())
        start = StripTrailingBackslash(m_initialDir) + u'/' + m_dialogFileName;
    start = LocalPath(start);

    const QStringList filters = QtNameFilters(m_filter);
    Dialogs::FileDialogSetup setup;
    if (m_filterIndex >= 1 && m_filterIndex <= filters.size())
        setup.selectedFilter = filters[m_filterIndex - 1];
    setup.defaultSuffix = m_defaultExt.startsWith(u'.') ? m_defaultExt.mid(1) : m_defaultExt;
    setup.history = m_historyList;
    setup.options = QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails;
    if (!m_options.testFlag(ofOverwritePrompt))
        setup.options |= QFileDialog::DontConfirmOverwrite;
    const int helpContext = HelpContext(this);
    if (m_options.testFlag(ofShowHelp) && helpContext != 0)
        setup.prepare = [helpContext](QFileDialog& dialog) { AddHelpButton(dialog, helpContext); };

    const QString qtFilter = filters.join(QStringLiteral(";;"));
    QStringList chosen;
    if (m_dialogKind == dkSave || m_dialogKind == dkSavePicture)
        chosen.append(Dialogs::getSaveFileName(this, m_title, start, qtFilter, &setup));
    else if (m_multiple)
        chosen = Dialogs::getOpenFileNames(this, m_title, start, qtFilter, &setup);
    else
        chosen.append(Dialogs::getOpenFileName(this, m_title, start, qtFilter, &setup));
    chosen.removeAll(QString());
    action = !chosen.isEmpty();
    if (action) {
        m_files = chosen;
        m_dialogFileName = chosen.first();
        name = m_dialogFileName;
        const qsizetype index = filters.indexOf(setup.selectedFilter);
        if (index >= 0)
            m_filterIndex = int(index) + 1;
    }

    FocusIfPossible();
    FireAfterDialog(name, action);
    if (action) {
        setText(QuoteFileName(name));
        m_initialDir = ExtractFilePath(m_dialogFileName);
    }
}

// ---------------------------------------------------------------- TDirectoryEdit

TDirectoryEdit::TDirectoryEdit(QWidget* parent)
    : TFileDirEdit(parent)
{
}

QString TDirectoryEdit::ConvertedText(QString (*convert)(const QString&)) const
{
    if (!m_multiple)
        return convert(text());
    const QString all = text();
    QString result;
    qsizetype pos = 1;
    while (pos <= all.size()) {
        const QString piece = convert(TakeToken(all, pos, u";"));
        if (!result.isEmpty() && !piece.isEmpty())
            result += u';';
        result += piece;
    }
    return result;
}

QString TDirectoryEdit::LongPathText() const
{
    return ConvertedText(&ToLongPath);
}

QString TDirectoryEdit::ShortPathText() const
{
    return ConvertedText(&ToShortPath);
}

void TDirectoryEdit::TakeDroppedName(const QString& name)
{
    const QString folder = StoredFileExists(name) ? ExtractFilePath(name) : name;
    if (m_multiple && !text().isEmpty())
        setText(text() + u';' + folder);
    else
        setText(folder);
}

void TDirectoryEdit::RunButtonAction()
{
    TFileDirEdit::RunButtonAction();
    QString name = text();
    bool action = true;
    FireBeforeDialog(name, action);
    if (!action)
        return;
    // Without a usable folder the dialog starts at the root.
    if (name.isEmpty())
        name = m_initialDir;
    if (!IsExistingDirectory(name))
        name = QStringLiteral("/");

    const int helpContext = HelpContext(this);
    if (m_dialogKind == dkWin32) {
        action = PickDirectory(name, m_dialogText, helpContext);
    } else {
        Dialogs::FileDialogSetup setup;
        setup.options = QFileDialog::DontUseNativeDialog;
        if (!m_dialogOptions.testFlag(sdAllowCreate))
            setup.options |= QFileDialog::ReadOnly;
        if (helpContext != 0)
            setup.prepare = [helpContext](QFileDialog& dialog) { AddHelpButton(dialog, helpContext); };
        const QString chosen
            = Dialogs::getExistingDirectory(this, QStringLiteral("Select Directory"), LocalPath(name), &setup);
        action = !chosen.isEmpty();
        if (action)
            name = chosen;
    }

    FocusIfPossible();
    FireAfterDialog(name, action);
    if (!action)
        return;
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectedText().size());
    setText(m_multiple && !rest.isEmpty() ? rest + u';' + name : name);
    if (!name.isEmpty() && IsExistingDirectory(name))
        m_initialDir = name;
}
