#include "kitalign.h"

#include <QChildEvent>
#include <QEvent>
#include <QHash>
#include <QList>
#include <QScopedValueRollback>

namespace {

const char* const AlignProperty = "kitAlign";

// Windows-style edges: right and bottom lie just outside.
struct Edges {
    int left;
    int top;
    int right;
    int bottom;
};

// Whether c1 goes before c2 in the stack of controls of one alignment, the
// one placed first lying nearest its edge. Ties keep a control's place, bar
// the bottom and right stacks, where a later control goes before an earlier.
bool InsertBefore(const QWidget* c1, const QWidget* c2, TAlign align)
{
    switch (align) {
    case alTop:
        return c1->y() < c2->y();
    case alBottom:
        return c1->y() + c1->height() >= c2->y() + c2->height();
    case alLeft:
        return c1->x() < c2->x();
    case alRight:
        return c1->x() + c1->width() >= c2->x() + c2->width();
    default:
        return false;
    }
}

// Keeps the aligned controls of one parent in place. A child object of the
// parent, watching it and its aligned controls.
class AlignLayout : public QObject {
public:
    static AlignLayout* of(const QWidget* parent)
    {
        for (QObject* o : parent->children())
            if (auto* layout = dynamic_cast<AlignLayout*>(o))
                return layout;
        return nullptr;
    }

    static AlignLayout* ensure(QWidget* parent)
    {
        AlignLayout* layout = of(parent);
        return layout ? layout : new AlignLayout(parent);
    }

    void Watch(QWidget* control, bool on)
    {
        if (on)
            control->installEventFilter(this);
        else
            control->removeEventFilter(this);
    }

    void Realign(QWidget* control)
    {
        if (level > 0 || m_aligning)
            return;
        const QScopedValueRollback<bool> aligning(m_aligning, true);
        const QRect client = Parent()->contentsRect();
        Edges rect { client.left(), client.top(), client.left() + client.width(), client.top() + client.height() };
        for (TAlign align : { alTop, alBottom, alLeft, alRight, alClient })
            for (QWidget* c : Ordered(align, control))
                Place(c, align, rect);
    }

    int level = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent()) {
            switch (event->type()) {
            case QEvent::Resize:
            case QEvent::Show:
                Realign(nullptr);
                break;
            case QEvent::ChildRemoved:
                m_placed.remove(static_cast<QChildEvent*>(event)->child());
                Realign(nullptr);
                break;
            default:
                break;
            }
            return false;
        }
        auto* control = static_cast<QWidget*>(watched);
        if (control->parentWidget() != Parent()) {
            // Moved to another parent: that one's layout looks after it now.
            control->removeEventFilter(this);
            return false;
        }
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            // Our own placing comes back here as well; only others' changes count.
            if (!m_aligning && control->geometry() != m_placed.value(control))
                Realign(control);
            break;
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            Realign(control);
            break;
        default:
            break;
        }
        return false;
    }

private:
    explicit AlignLayout(QWidget* parent)
        : QObject(parent)
    {
        parent->installEventFilter(this);
    }

    QWidget* Parent() const { return static_cast<QWidget*>(parent()); }

    // The class library's order: the control whose change asked for the
    // alignment first, every other inserted before the first it goes before.
    QList<QWidget*> Ordered(TAlign align, QWidget* control) const
    {
        QList<QWidget*> list;
        const auto takesPart
            = [&](const QWidget* c) { return !c->isWindow() && !c->isHidden() && AlignOf(c) == align; };
        if (control && control->parentWidget() == Parent() && takesPart(control))
            list.append(control);
        for (QObject* o : Parent()->children()) {
            auto* c = qobject_cast<QWidget*>(o);
            if (!c || c == control || !takesPart(c))
                continue;
            qsizetype j = 0;
            while (j < list.size() && !InsertBefore(c, list[j], align))
                ++j;
            list.insert(j, c);
        }
        return list;
    }

    void Place(QWidget* c, TAlign align, Edges& rect)
    {
        const int width = qMax(rect.right - rect.left, 0);
        const int height = qMax(rect.bottom - rect.top, 0);
        const QSize own = c->size().boundedTo(c->maximumSize()).expandedTo(c->minimumSize());
        switch (align) {
        case alTop:
            c->setGeometry(rect.left, rect.top, width, own.height());
            rect.top += c->height();
            break;
        case alBottom:
            c->setGeometry(rect.left, rect.bottom - own.height(), width, own.height());
            rect.bottom -= c->height();
            break;
        case alLeft:
            c->setGeometry(rect.left, rect.top, own.width(), height);
            rect.left += c->width();
            break;
        case alRight:
            c->setGeometry(rect.right - own.width(), rect.top, own.width(), height);
            rect.right -= c->width();
            break;
        default:
            c->setGeometry(rect.left, rect.top, width, height);
            break;
        }
        m_placed.insert(c, c->geometry());
    }

    bool m_aligning = false;
    QHash<const QObject*, QRect> m_placed;
};

} // namespace

TAlign AlignOf(const QWidget* control)
{
    const int align = control->property(AlignProperty).toInt();
    return align >= alNone && align <= alClient ? TAlign(align) : alNone;
}

void SetAlign(QWidget* control, TAlign align)
{
    control->setProperty(AlignProperty, int(align));
    QWidget* parent = control->parentWidget();
    if (!parent)
        return;
    AlignLayout* layout = AlignLayout::ensure(parent);
    layout->Watch(control, align != alNone);
    layout->Realign(control);
}

void AlignControls(QWidget* parent, QWidget* control)
{
    if (AlignLayout* layout = AlignLayout::of(parent))
        layout->Realign(control);
}

void DisableAlign(QWidget* parent)
{
    ++AlignLayout::ensure(parent)->level;
}

void EnableAlign(QWidget* parent)
{
    AlignLayout* layout = AlignLayout::of(parent);
    if (!layout || layout->level == 0)
        return;
    if (--layout->level == 0)
        layout->Realign(nullptr);
}

AlignSuspension::AlignSuspension(QWidget* parent)
    : m_parent(parent)
{
    if (parent)
        DisableAlign(parent);
}

AlignSuspension::~AlignSuspension()
{
    if (m_parent)
        EnableAlign(m_parent);
}

QWidget* AddTopPanel(QWidget* parent, const char* name, int width, int height, int& top)
{
    auto* p = new QWidget(parent);
    p->setObjectName(QLatin1String(name));
    p->setGeometry(0, top, width, height);
    top += height;
    SetAlign(p, alTop);
    return p;
}
