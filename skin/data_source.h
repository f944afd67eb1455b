// CDataSource: an image with frames, drawn stretched or with fixed borders.
#pragma once

#include <map>
#include <memory>
#include <tuple>

#include <QByteArray>
#include <QImage>
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include "skin/skin_file.h"

class QPainter;

// An image with one or more frames. SVG images define frame cells with elements whose ids
// are "frame0", "frame1", ... (their bounds are the cells; without them the whole picture is
// one frame) and may mark the stretchable middle with an element "stretch" inside frame 0.
// Raster images (PNG) stack equal frames vertically; the PNG text keys "Frames" (count) and
// "Scale" (2 for double-density pictures) describe them. Frames are drawn stretched into
// the target, or with fixed borders (margins) whose middle is stretched or tiled.
class CDataSource {
public:
    CDataSource();
    ~CDataSource();
    CDataSource(const CDataSource&) = delete;
    CDataSource& operator=(const CDataSource&) = delete;

    // Reads the whole image through an open file (from its start). False, leaving the source
    // empty, when the handle is bad or the data is no image.
    bool LoadFromHandle(SkinHandle handle);
    bool LoadFromFile(const QString& path);
    bool LoadFromData(const QByteArray& data);
    // An optional mask whose alpha channel is multiplied into every frame.
    bool LoadAlphaFromHandle(SkinHandle handle);
    bool LoadAlphaFromData(const QByteArray& data);
    void Clear();

    bool IsValid() const;
    bool IsVector() const;
    int GetFrameCount() const;
    // The natural size of a frame in device-independent pixels (frames may differ in size).
    QSize GetFrameSize(int frame = 0) const;
    // Fixed borders: an explicit margin wins over the image's own "stretch" marker.
    void SetMargins(const QMargins& margins);
    QMargins GetMargins() const;
    void SetTiled(bool tile) {
        m_tile = tile;
        CloseHandle();  // frames drawn before were drawn the other way
    }
    bool IsTiled() const { return m_tile; }

    // Draws frame (clamped to the frames there are) into target. False when empty.
    bool DrawFrame(QPainter& painter, const QRect& target, int frame, qreal opacity = 1.0) const;
    // The frame rendered at size (device-independent) for the given pixel ratio.
    QPixmap RenderFrame(int frame, const QSize& size, qreal devicePixelRatio) const;
    // The shape of a frame (pixels with any opacity) at size, or at the natural frame size.
    // The region is cached until CloseHandle; an empty source gives the whole rectangle.
    QRegion GetFrameRgn(int frame, const QSize& size);
    QRegion GetFrameRgn(int frame) { return GetFrameRgn(frame, GetFrameSize()); }
    // Releases the cached region and rendered frames.
    void CloseHandle();

    struct Image;  // the decoded picture (opaque)

private:
    QImage RenderImage(int frame, const QSize& size, qreal ratio) const;
    void PaintFrame(QPainter& painter, const QRectF& target, int frame) const;
    std::unique_ptr<Image> m_image;
    std::unique_ptr<Image> m_alpha;
    QMargins m_margins;
    bool m_explicitMargins = false;
    bool m_tile = false;
    mutable std::map<std::tuple<int, int, int, int>, QPixmap> m_cache;  // (frame, w, h, ratio×100)
    QRegion m_region;
    std::tuple<int, int, int> m_regionKey{-1, 0, 0};
};
