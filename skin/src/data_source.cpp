// CDataSource: a picture with frames, drawn stretched or with fixed borders, crisp at any
// pixel ratio (SVG is rendered for the target's pixels; raster pictures may carry 2x pixels).
#include "skin/data_source.h"
#include "skin/skin_file.h"

#include <unistd.h>

#include <QBitmap>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

struct CDataSource::Image {
    std::unique_ptr<QSvgRenderer> svg;
    QImage raster;
    std::vector<QRectF> cells;  // frame cells in source units
    qreal unitsPerPixel = 1.0;  // source units per device-independent pixel
    QMargins ownMargins;        // from the picture's "stretch" marker
};

namespace {

constexpr size_t kCacheLimit = 48;
constexpr qint64 kMaxImageBytes = 32 * 1024 * 1024;

bool LooksLikeSvg(const QByteArray& data) { return data.left(1024).contains("<svg"); }

QByteArray ReadHandle(SkinHandle handle) {
    QByteArray data;
    if (handle < 0) return data;
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(handle, buffer, sizeof buffer, offset);
        if (got < 0) return {};
        if (got == 0) break;
        data.append(buffer, got);
        offset += got;
        if (data.size() > kMaxImageBytes) return {};
    }
    return data;
}

QRectF ElementRect(QSvgRenderer& svg, const QString& id) {
    return svg.transformForElement(id).mapRect(svg.boundsOnElement(id));
}

std::unique_ptr<CDataSource::Image> MakeImage(const QByteArray& data) {
    if (data.isEmpty()) return nullptr;
    auto image = std::make_unique<CDataSource::Image>();
    if (LooksLikeSvg(data)) {
        image->svg = std::make_unique<QSvgRenderer>(data);
        QSvgRenderer& svg = *image->svg;
        if (!svg.isValid() || svg.viewBoxF().isEmpty()) return nullptr;
        for (int i = 0;; ++i) {
            const QString id = QStringLiteral("frame%1").arg(i);
            if (!svg.elementExists(id)) break;
            const QRectF cell = ElementRect(svg, id);
            if (cell.isEmpty()) break;
            image->cells.push_back(cell);
        }
        if (image->cells.empty()) image->cells.push_back(svg.viewBoxF());
        const QSize natural = svg.defaultSize();
        image->unitsPerPixel = natural.width() > 0 ? svg.viewBoxF().width() / natural.width() : 1.0;
        if (svg.elementExists(QStringLiteral("stretch"))) {
            const QRectF s = ElementRect(svg, QStringLiteral("stretch"));
            const QRectF c = image->cells.front();
            const qreal u = image->unitsPerPixel;
            image->ownMargins = QMargins(qRound((s.left() - c.left()) / u), qRound((s.top() - c.top()) / u),
                                         qRound((c.right() - s.right()) / u), qRound((c.bottom() - s.bottom()) / u));
        }
        return image;
    }
    QImage raster;
    if (!raster.loadFromData(data) || raster.isNull()) return nullptr;
    raster = raster.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int frames = std::max(1, raster.text(QStringLiteral("Frames")).toInt());
    const int scale = std::clamp(raster.text(QStringLiteral("Scale")).toInt(), 1, 4);
    const int cellHeight = raster.height() / frames;
    if (cellHeight <= 0) return nullptr;
    for (int i = 0; i < frames; ++i) image->cells.emplace_back(0, i * cellHeight, raster.width(), cellHeight);
    image->unitsPerPixel = scale;
    image->raster = std::move(raster);
    return image;
}

}  // namespace

CDataSource::CDataSource() = default;
CDataSource::~CDataSource() = default;

bool CDataSource::LoadFromHandle(SkinHandle handle) { return LoadFromData(ReadHandle(handle)); }

bool CDataSource::LoadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxImageBytes) {
        Clear();
        return false;
    }
    return LoadFromData(file.readAll());
}

bool CDataSource::LoadFromData(const QByteArray& data) {
    Clear();
    m_image = MakeImage(data);
    return m_image != nullptr;
}

bool CDataSource::LoadAlphaFromHandle(SkinHandle handle) { return LoadAlphaFromData(ReadHandle(handle)); }

bool CDataSource::LoadAlphaFromData(const QByteArray& data) {
    CloseHandle();
    m_alpha = MakeImage(data);
    return m_alpha != nullptr;
}

void CDataSource::Clear() {
    m_image.reset();
    m_alpha.reset();
    CloseHandle();
}

bool CDataSource::IsValid() const { return m_image != nullptr; }
bool CDataSource::IsVector() const { return m_image && m_image->svg; }
int CDataSource::GetFrameCount() const { return m_image ? static_cast<int>(m_image->cells.size()) : 0; }

QSize CDataSource::GetFrameSize(int frame) const {
    if (!m_image) return {};
    const QRectF cell = m_image->cells[static_cast<size_t>(std::clamp(frame, 0, GetFrameCount() - 1))];
    return QSize(qRound(cell.width() / m_image->unitsPerPixel), qRound(cell.height() / m_image->unitsPerPixel));
}

void CDataSource::SetMargins(const QMargins& margins) {
    m_margins = margins;
    m_explicitMargins = !margins.isNull();
    CloseHandle();
}

QMargins CDataSource::GetMargins() const {
    if (m_explicitMargins || !m_image) return m_margins;
    return m_image->ownMargins;
}

namespace {

// Draws the part `source` (source units) of an image into `target`, clipped to it.
void DrawPart(QPainter& painter, const CDataSource::Image& image, const QRectF& source, const QRectF& target) {
    if (source.isEmpty() || target.isEmpty()) return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    if (image.svg) {
        image.svg->setViewBox(source);
        image.svg->render(&painter, target);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image.raster, source);
    }
    painter.restore();
}

// The same, repeating the part at its natural size across the target.
void TilePart(QPainter& painter, const CDataSource::Image& image, const QRectF& source, const QRectF& target,
              qreal ratio) {
    const QSize natural(std::max(1, qRound(source.width() / image.unitsPerPixel)),
                        std::max(1, qRound(source.height() / image.unitsPerPixel)));
    QImage tile(natural * ratio, QImage::Format_ARGB32_Premultiplied);
    tile.setDevicePixelRatio(ratio);
    tile.fill(Qt::transparent);
    {
        QPainter p(&tile);
        p.setRenderHint(QPainter::Antialiasing);
        DrawPart(p, image, source, QRectF(QPointF(0, 0), QSizeF(natural)));
    }
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.drawTiledPixmap(target, QPixmap::fromImage(tile));
    painter.restore();
}

}  // namespace

void CDataSource::PaintFrame(QPainter& painter, const QRectF& target, int frame) const {
    const Image& image = *m_image;
    const QRectF cell = image.cells[static_cast<size_t>(std::clamp(frame, 0, GetFrameCount() - 1))];
    const QMargins m = GetMargins();
    const qreal u = image.unitsPerPixel;
    const bool sliced =
        !m.isNull() && target.width() >= m.left() + m.right() && target.height() >= m.top() + m.bottom();
    if (!sliced && !m_tile) {
        DrawPart(painter, image, cell, target);
        return;
    }
    // Nine parts: the borders keep their size, the middle row and column stretch or tile.
    const qreal sx[4] = {cell.left(), cell.left() + m.left() * u, cell.right() - m.right() * u, cell.right()};
    const qreal sy[4] = {cell.top(), cell.top() + m.top() * u, cell.bottom() - m.bottom() * u, cell.bottom()};
    const qreal tx[4] = {target.left(), target.left() + m.left(), target.right() - m.right(), target.right()};
    const qreal ty[4] = {target.top(), target.top() + m.top(), target.bottom() - m.bottom(), target.bottom()};
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF source(QPointF(sx[col], sy[row]), QPointF(sx[col + 1], sy[row + 1]));
            const QRectF part(QPointF(tx[col], ty[row]), QPointF(tx[col + 1], ty[row + 1]));
            const bool stretches = row == 1 || col == 1;
            if (m_tile && stretches)
                TilePart(painter, image, source, part, ratio);
            else
                DrawPart(painter, image, source, part);
        }
    }
}

QImage CDataSource::RenderImage(int frame, const QSize& size, qreal ratio) const {
    QImage result(size * ratio, QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(ratio);
    result.fill(Qt::transparent);
    if (!m_image || size.isEmpty()) return result;
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF target(QPointF(0, 0), QSizeF(size));
    PaintFrame(painter, target, frame);
    if (m_alpha) {
        QImage mask(size * ratio, QImage::Format_ARGB32_Premultiplied);
        mask.setDevicePixelRatio(ratio);
        mask.fill(Qt::transparent);
        {
            QPainter maskPainter(&mask);
            maskPainter.setRenderHint(QPainter::Antialiasing);
            const Image& alpha = *m_alpha;
            DrawPart(maskPainter, alpha,
                     alpha.cells[static_cast<size_t>(std::clamp(frame, 0, static_cast<int>(alpha.cells.size()) - 1))],
                     target);
        }
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(target, mask);
    }
    return result;
}

QPixmap CDataSource::RenderFrame(int frame, const QSize& size, qreal devicePixelRatio) const {
    const auto key = std::make_tuple(frame, size.width(), size.height(), qRound(devicePixelRatio * 100));
    if (const auto found = m_cache.find(key); found != m_cache.end()) return found->second;
    if (m_cache.size() >= kCacheLimit) m_cache.clear();
    QPixmap pixmap = QPixmap::fromImage(RenderImage(frame, size, devicePixelRatio));
    m_cache.emplace(key, pixmap);
    return pixmap;
}

bool CDataSource::DrawFrame(QPainter& painter, const QRect& target, int frame, qreal opacity) const {
    if (!m_image || target.isEmpty()) return false;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap pixmap = RenderFrame(frame, target.size(), ratio);
    const qreal before = painter.opacity();
    painter.setOpacity(before * opacity);
    painter.drawPixmap(target.topLeft(), pixmap);
    painter.setOpacity(before);
    return true;
}

QRegion CDataSource::GetFrameRgn(int frame, const QSize& size) {
    const std::tuple<int, int, int> key{frame, size.width(), size.height()};
    if (key == m_regionKey) return m_region;
    if (!m_image || size.isEmpty()) return QRegion(QRect(QPoint(0, 0), size));
    const QImage picture = RenderImage(frame, size, 1.0);
    QImage bits(picture.size(), QImage::Format_MonoLSB);
    bits.setColorCount(2);
    bits.setColor(0, qRgb(255, 255, 255));
    bits.setColor(1, qRgb(0, 0, 0));
    bits.fill(0);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(line[x]) > 0) bits.setPixel(x, y, 1);
    }
    m_region = QRegion(QBitmap::fromImage(bits));
    m_regionKey = key;
    return m_region;
}

void CDataSource::CloseHandle() {
    m_cache.clear();
    m_region = QRegion();
    m_regionKey = {-1, 0, 0};
}
