#include "regionscript.h"

#include "kiterrors.h"

#include <QPolygon>
#include <QStringList>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// Deep enough for any sensible script; a runaway of parentheses or minus
// signs must end in an error, not in the stack's end.
constexpr int MaxFactorDepth = 64;
constexpr int MaxLevel = 15;

enum CombineMode { RgnAnd = 1, RgnOr = 2, RgnXor = 3, RgnDiff = 4 };

[[noreturn]] void fail(const QString& message)
{
    throw ECannotTranslate(message);
}

[[noreturn]] void failAt(const char* message, int position)
{
    fail(QString::fromLatin1(message) + QString::number(position));
}

// 32-bit wrap-around as the scripts' arithmetic has it, without the undefined
// behaviour of a signed overflow.
int wrap32(qint64 v)
{
    return static_cast<int>(static_cast<quint32>(static_cast<quint64>(v)));
}

class ExpressionReader {
public:
    ExpressionReader(const QString& argument, const RegionMetrics& metrics)
        : m_text(argument + QLatin1Char(' '))
        , m_metrics(metrics)
    {
    }

    int EvalRegionExpression()
    {
        int value = term();
        for (QChar c = at(); c == u'+' || c == u'-'; c = at()) {
            ++m_p;
            const int rhs = term();
            value = wrap32(c == u'+' ? qint64(value) + rhs : qint64(value) - rhs);
        }
        return value;
    }

private:
    QChar at() const { return m_p <= m_text.size() ? m_text.at(m_p - 1) : QChar(); }

    int term()
    {
        int value = EvalRegionFactor();
        for (QChar c = at(); c == u'*' || c == u'/'; c = at()) {
            const int opPos = m_p;
            ++m_p;
            const int rhs = EvalRegionFactor();
            if (c == u'*') {
                value = wrap32(qint64(value) * rhs);
            } else if (rhs == 0) {
                failAt("Division by zero in position ", opPos);
            } else if (value == INT_MIN && rhs == -1) {
                failAt("Integer overflow in position ", opPos);
            } else {
                value /= rhs;
            }
        }
        return value;
    }

    int EvalRegionFactor()
    {
        const QChar c = at();
        if (c == u'(' || c == u'-') {
            if (m_depth == MaxFactorDepth)
                failAt("Syntax error in position ", m_p);
            ++m_depth;
            ++m_p;
            int value;
            if (c == u'(') {
                value = EvalRegionExpression();
                if (at() != u')')
                    failAt("')' expected in position ", m_p);
                ++m_p;
            } else {
                value = wrap32(-qint64(EvalRegionFactor()));
            }
            --m_depth;
            return value;
        }
        if (c >= u'0' && c <= u'9') {
            const int start = m_p;
            qint64 value = 0;
            for (QChar d = at(); d >= u'0' && d <= u'9'; d = at()) {
                value = value * 10 + (d.unicode() - u'0');
                if (value > INT_MAX)
                    failAt("Number too large in position ", start);
                ++m_p;
            }
            return int(value);
        }
        int value;
        switch (c.unicode()) {
        case u'X':
            value = m_metrics.X;
            break;
        case u'C':
            value = m_metrics.C;
            break;
        case u'Y':
            value = m_metrics.Y;
            break;
        case u'R':
            value = m_metrics.R;
            break;
        case u'B':
            value = m_metrics.B;
            break;
        case u'W':
            value = m_metrics.W;
            break;
        case u'H':
            value = m_metrics.H;
            break;
        default:
            failAt("Syntax error in position ", m_p);
        }
        ++m_p;
        return value;
    }

    QString m_text;
    const RegionMetrics& m_metrics;
    int m_p = 1;
    int m_depth = 0;
};

// Shapes are built within the 16-bit coordinates of the display: no window
// reaches farther, and a hostile ellipse of 2^31 scan lines would otherwise
// take all memory.
constexpr int MinCoord = -0x8000;
constexpr int MaxCoord = 0x7FFF;

int coord(qint64 v)
{
    return int(std::clamp<qint64>(v, MinCoord, MaxCoord));
}

QRect displayArea()
{
    return QRect(QPoint(MinCoord, MinCoord), QPoint(MaxCoord, MaxCoord));
}

// The rectangle from (x1, y1) to (x2, y2) without its right and bottom edge;
// swapped corners are put in order, as the platform's regions accept them.
QRect cornersRect(int x1, int y1, int x2, int y2)
{
    x1 = coord(x1), y1 = coord(y1), x2 = coord(x2), y2 = coord(y2);
    return QRect(QPoint(qMin(x1, x2), qMin(y1, y2)), QSize(qAbs(x2 - x1), qAbs(y2 - y1)));
}

// The part of the ellipse inscribed in r that lies in clip, one span per
// scan line (equal lines merged): linear in its height, where the general
// path filling is not.
QRegion ellipseRegion(const QRect& r, const QRect& clip)
{
    if (r.isEmpty())
        return QRegion();
    const double a = r.width() / 2.0, b = r.height() / 2.0;
    const double cx = r.x() + a, cy = r.y() + b;
    QList<QRect> spans;
    const int end = std::min(r.y() + r.height(), clip.y() + clip.height());
    for (int y = std::max(r.y(), clip.y()); y < end; ++y) {
        const double dy = (y + 0.5 - cy) / b;
        const double half = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        const int left = std::max(int(std::lround(cx - half)), clip.x());
        const int right = std::min(int(std::lround(cx + half)), clip.x() + clip.width());
        if (right <= left)
            continue;
        if (!spans.isEmpty() && spans.last().left() == left && spans.last().right() == right - 1)
            spans.last().setBottom(y);
        else
            spans.append(QRect(left, y, right - left, 1));
    }
    QRegion region;
    region.setRects(spans.constData(), int(spans.size()));
    return region;
}

// A polygon filled one scan line at a time, as the platform's polygon regions
// fill it: a point (x, y) is inside when x lies from the left crossing of the
// line y (rounded up) to before the right one, an edge covering the lines
// from its upper end to before its lower. Equal neighbouring lines share a
// band. The work grows with the region's own size, where the platform's
// builder takes minutes for a polygon as tall as the 16-bit range. Only the
// part in clip is built.
QRegion polygonRegion(const QPolygon& polygon, Qt::FillRule rule, const QRect& clip)
{
    struct Edge {
        int top, bottom; // lines top .. bottom - 1
        qint64 x0, y0, dx, dy; // from (x0, y0), dy > 0
        int direction;
    };
    QList<Edge> edges;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        QPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        if (a.y() == b.y())
            continue;
        const int direction = a.y() < b.y() ? 1 : -1;
        if (direction < 0)
            std::swap(a, b);
        edges.append({ a.y(), b.y(), a.x(), a.y(), qint64(b.x()) - a.x(), qint64(b.y()) - a.y(), direction });
    }
    if (edges.isEmpty())
        return QRegion();
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.top < r.top; });
    int last = INT_MIN;
    for (const Edge& e : edges)
        last = std::max(last, e.bottom);
    last = std::min(last, clip.y() + clip.height());

    QList<QRect> rects;
    QList<std::pair<int, int>> spans, previous;
    qsizetype bandStart = 0; // first rect of the band previous belongs to
    QList<const Edge*> active;
    QList<std::pair<qint64, int>> crossings;
    qsizetype next = 0;
    for (int y = std::max(edges.first().top, clip.y()); y < last; ++y) {
        while (next < edges.size() && edges[next].top <= y)
            active.append(&edges[next++]);
        active.removeIf([y](const Edge* e) { return e->bottom <= y; });
        crossings.clear();
        for (const Edge* e : active) {
            // x0 + (y - y0) * dx / dy rounded up, in integers.
            const qint64 n = e->x0 * e->dy + (y - e->y0) * e->dx;
            crossings.append({ n / e->dy + (n % e->dy > 0 ? 1 : 0), e->direction });
        }
        std::sort(crossings.begin(), crossings.end());
        spans.clear();
        int winding = 0;
        for (qsizetype i = 0; i + 1 < crossings.size(); ++i) {
            winding += rule == Qt::OddEvenFill ? 1 : crossings[i].second;
            const bool inside = rule == Qt::OddEvenFill ? winding % 2 != 0 : winding != 0;
            const int from = int(std::max<qint64>(crossings[i].first, clip.x()));
            const int to = int(std::min<qint64>(crossings[i + 1].first, clip.x() + clip.width()));
            if (!inside || to <= from)
                continue;
            if (!spans.isEmpty() && spans.last().second >= from)
                spans.last().second = std::max(spans.last().second, to);
            else
                spans.append({ from, to });
        }
        if (!spans.isEmpty() && spans == previous && !rects.isEmpty() && rects.last().bottom() == y - 1) {
            for (qsizetype i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(y);
            continue;
        }
        bandStart = rects.size();
        for (const auto& [from, to] : spans)
            rects.append(QRect(from, y, to - from, 1));
        std::swap(previous, spans);
    }
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

QRegion roundRectRegion(const QRect& r, int w, int h, const QRect& clip)
{
    // Widened first: the magnitude of INT_MIN has no int.
    w = int(std::min<qint64>(qAbs(qint64(w)), r.width()));
    h = int(std::min<qint64>(qAbs(qint64(h)), r.height()));
    QRegion region = QRegion(r.adjusted(w / 2, 0, -(w / 2), 0)).united(QRegion(r.adjusted(0, h / 2, 0, -(h / 2))));
    if (w > 0 && h > 0) {
        const int right = r.x() + r.width();
        const int bottom = r.y() + r.height();
        for (const QPoint corner :
            { r.topLeft(), QPoint(right - w, r.y()), QPoint(r.x(), bottom - h), QPoint(right - w, bottom - h) })
            region = region.united(ellipseRegion(QRect(corner, QSize(w, h)), clip));
    }
    return region.intersected(clip);
}

class Translator {
public:
    explicit Translator(const RegionScriptContext& context)
        : m_context(context)
    {
    }

    std::optional<QRegion> run(const QString& script)
    {
        const QStringList lines = RegionUpperCase(script).split(LineBreak);
        for (int i = 0; i < lines.size(); ++i) {
            if (lines.at(i).isEmpty())
                continue;
            try {
                TranslateRegionLine(lines.at(i));
            } catch (const ECannotTranslate& e) {
                throw ECannotTranslate(e.message() + QStringLiteral(" in line ") + QString::number(i + 1));
            }
        }
        return std::move(m_levels[1].accumulated);
    }

private:
    struct Level {
        std::optional<QRegion> accumulated;
        bool first = true;
        CombineMode mode = RgnOr;
    };

    int eval(const QString& argument) const { return EvalRegionExpression(argument, m_context.metrics); }

    // The argument values of a command that takes a fixed or a checked number
    // of comma-separated expressions, evaluated left to right.
    QList<int> values(const QString& arguments, bool (*countFits)(qsizetype)) const
    {
        const QStringList parts = arguments.split(QLatin1Char(','));
        if (!countFits(parts.size() - 1))
            fail(QStringLiteral("Invalid number of parameters"));
        QList<int> result;
        result.reserve(parts.size());
        for (const QString& part : parts)
            result.append(eval(part));
        return result;
    }

    std::optional<QRegion> placeExternal(const QString& arguments) const
    {
        if (arguments.size() < 3)
            fail(QStringLiteral("Syntax error"));
        const QChar h = arguments.at(0);
        const QChar v = arguments.at(1);
        const qsizetype xEnd = arguments.indexOf(QLatin1Char(','), 2);
        if (xEnd < 0)
            fail(QStringLiteral("Invalid number of parameters"));
        const qsizetype yEnd = arguments.indexOf(QLatin1Char(','), xEnd + 1);
        if (yEnd < 0)
            fail(QStringLiteral("Invalid number of parameters"));
        const int x = eval(arguments.mid(2, xEnd - 2));
        const int y = eval(arguments.mid(xEnd + 1, yEnd - xEnd - 1));
        const QString name = arguments.mid(yEnd + 1);

        std::optional<ExternalShape> shape = m_context.findExternal ? m_context.findExternal(name) : std::nullopt;
        if (!shape) {
            if (m_context.externalNotFound)
                m_context.externalNotFound(name);
            return std::nullopt;
        }
        if (!shape->region)
            return std::nullopt;
        const QRect r = shape->region->boundingRect();
        int left = r.x(), top = r.y(), right = r.x() + r.width(), bottom = r.y() + r.height();
        if (shape->width != -1) {
            left = 0;
            right = shape->width;
        }
        if (shape->height != -1) {
            top = 0;
            bottom = shape->height;
        }
        qint64 dx, dy;
        switch (h.unicode()) {
        case u'L':
            dx = qint64(x) - left;
            break;
        case u'C':
            dx = qint64(x) - (qint64(left) + right) / 2;
            break;
        case u'R':
            dx = qint64(x) - right;
            break;
        default:
            fail(QStringLiteral("Syntax error"));
        }
        switch (v.unicode()) {
        case u'T':
            dy = qint64(y) - top;
            break;
        case u'C':
            dy = qint64(y) - (qint64(top) + bottom) / 2;
            break;
        case u'B':
            dy = qint64(y) - bottom;
            break;
        default:
            fail(QStringLiteral("Syntax error"));
        }
        // Moved as far as the display reaches at most, without overflow.
        return shape->region->translated(int(std::clamp<qint64>(dx, 2 * MinCoord, 2 * MaxCoord)),
            int(std::clamp<qint64>(dy, 2 * MinCoord, 2 * MaxCoord)));
    }

    void TranslateRegionLine(const QString& line)
    {
        std::optional<QRegion> fresh;
        const QString arguments = line.mid(1);
        Level& level = m_levels[m_level];
        switch (line.at(0).unicode()) {
        case u'A':
            level.mode = RgnAnd;
            break;
        case u'O':
            level.mode = RgnOr;
            break;
        case u'X':
            level.mode = RgnXor;
            break;
        case u'D':
            level.mode = RgnDiff;
            break;
        case u'R':
        case u'E': {
            const QList<int> v = values(arguments, [](qsizetype commas) { return commas == 3; });
            const QRect r = cornersRect(v[0], v[1], v[2], v[3]);
            fresh = line.at(0) == u'R' ? QRegion(r.intersected(m_area)) : ellipseRegion(r, m_area);
            break;
        }
        case u'U': {
            const QList<int> v = values(arguments, [](qsizetype commas) { return commas == 5; });
            fresh = roundRectRegion(cornersRect(v[0], v[1], v[2], v[3]), v[4], v[5], m_area);
            break;
        }
        case u'L':
        case u'W': {
            const QList<int> v = values(arguments, [](qsizetype commas) { return commas >= 5 && commas % 2 == 1; });
            QPolygon polygon;
            for (qsizetype i = 0; i + 1 < v.size(); i += 2)
                polygon << QPoint(coord(v[i]), coord(v[i + 1]));
            fresh = polygonRegion(polygon, line.at(0) == u'L' ? Qt::OddEvenFill : Qt::WindingFill, m_area);
            break;
        }
        case u'T':
            fresh = placeExternal(arguments);
            if (fresh && m_context.bounds)
                fresh = fresh->intersected(m_area);
            break;
        case u'{':
            if (m_level == MaxLevel)
                fail(QStringLiteral("Too many brackets"));
            m_levels[++m_level] = Level();
            break;
        case u'}':
            if (m_level == 1)
                fail(QStringLiteral("'}' without '{'"));
            fresh = std::move(level.accumulated);
            --m_level;
            break;
        default:
            fail(QStringLiteral("Unknown command"));
        }
        if (fresh)
            combine(m_levels[m_level], *fresh);
    }

    static void combine(Level& level, const QRegion& fresh)
    {
        if (level.first) {
            level.accumulated = fresh;
            level.first = false;
            return;
        }
        QRegion& acc = *level.accumulated;
        switch (level.mode) {
        case RgnAnd:
            acc = acc.intersected(fresh);
            break;
        case RgnOr:
            acc = acc.united(fresh);
            break;
        case RgnXor:
            acc = acc.xored(fresh);
            break;
        case RgnDiff:
            acc = acc.subtracted(fresh);
            break;
        }
    }

    const RegionScriptContext& m_context;
    // Where shapes are built: the window's box when it is known.
    const QRect m_area = m_context.bounds ? m_context.bounds->intersected(displayArea()) : displayArea();
    std::array<Level, MaxLevel + 1> m_levels; // [0] unused: levels count from 1
    int m_level = 1;
};

// The name field of a command T: its start and length in line, or -1.
qsizetype placedNameStart(const QString& line)
{
    if (line.size() < 4 || (line.at(0) != u'T' && line.at(0) != u't'))
        return -1;
    const qsizetype xEnd = line.indexOf(QLatin1Char(','), 3);
    if (xEnd < 0)
        return -1;
    const qsizetype yEnd = line.indexOf(QLatin1Char(','), xEnd + 1);
    return yEnd < 0 ? -1 : yEnd + 1;
}

bool sameName(QStringView a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QRegion> TranslateRegionScript(const QString& script, const RegionScriptContext& context)
{
    if (script.isEmpty())
        return std::nullopt;
    return Translator(context).run(script);
}

int EvalRegionExpression(const QString& argument, const RegionMetrics& metrics)
{
    return ExpressionReader(argument, metrics).EvalRegionExpression();
}

QString RegionUpperCase(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return result;
}

bool RegionScriptNames(const QString& script, const QString& name)
{
    const QStringList lines = script.split(LineBreak);
    for (const QString& line : lines) {
        const qsizetype start = placedNameStart(line);
        if (start >= 0 && sameName(QStringView(line).mid(start), name))
            return true;
    }
    return false;
}

QString RenameInRegionScript(const QString& script, const QString& oldName, const QString& newName)
{
    QStringList lines = script.split(LineBreak);
    for (QString& line : lines) {
        const qsizetype start = placedNameStart(line);
        if (start >= 0 && sameName(QStringView(line).mid(start), oldName))
            line = line.left(start) + newName;
    }
    return lines.join(LineBreak);
}
