// Pictures in \pict groups.
#include "core/render/rtfparser.h"

#include <QPainter>

namespace Rtf {

namespace {
constexpr qsizetype kMaxPictureBytes = 32 * 1024 * 1024;
constexpr qreal kMaxSide = 4000; // document units; larger pictures are shrunk

// A frame of the picture's size for what Qt cannot draw (metafiles).
QImage placeholder(QSizeF size)
{
    size.scale(std::min(size.width(), 400.0), std::min(size.height(), 400.0), Qt::KeepAspectRatio);
    QImage image(std::max(1, qRound(size.width())), std::max(1, qRound(size.height())), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}
} // namespace

void Parser::pictureWord(const QByteArray &w, int param)
{
    if (w == "pngblip") m_picture.format = "png";
    else if (w == "jpegblip") m_picture.format = "jpg";
    else if (w == "emfblip" || w == "wmetafile" || w == "macpict" || w == "pmmetafile" || w == "dibitmap"
             || w == "wbitmap")
        m_picture.format.clear();
    else if (w == "picw") m_picture.picw = param;
    else if (w == "pich") m_picture.pich = param;
    else if (w == "picwgoal") m_picture.goalw = param;
    else if (w == "pichgoal") m_picture.goalh = param;
    else if (w == "picscalex") m_picture.scalex = param;
    else if (w == "picscaley") m_picture.scaley = param;
}

void Parser::finishPicture()
{
    if (m_st.dest == Dest::Skip || m_st.hidden)
        return;
    const Picture &p = m_picture;
    QImage image;
    if (!p.format.isEmpty()) {
        const QByteArray data = !p.binary.isEmpty() ? p.binary
                                : p.hex.size() <= 2 * kMaxPictureBytes ? QByteArray::fromHex(p.hex)
                                                                      : QByteArray();
        image = QImage::fromData(data, p.format.constData());
    }
    // The size on the page: the goal size in twips, else the picture's own.
    const qreal sx = (p.scalex > 0 ? p.scalex : 100) / 100.0;
    const qreal sy = (p.scaley > 0 ? p.scaley : 100) / 100.0;
    QSizeF size;
    if (p.goalw > 0 && p.goalh > 0)
        size = QSizeF(p.goalw / 15.0, p.goalh / 15.0);
    else if (!image.isNull())
        size = image.size();
    else if (p.picw > 0 && p.pich > 0) // metafiles measure in hundredths of a millimetre
        size = QSizeF(p.picw * 96.0 / 2540.0, p.pich * 96.0 / 2540.0);
    else
        size = QSizeF(96, 96);
    size = QSizeF(size.width() * sx, size.height() * sy);
    if (size.width() > kMaxSide || size.height() > kMaxSide)
        size.scale(kMaxSide, kMaxSide, Qt::KeepAspectRatio);
    if (image.isNull())
        image = placeholder(size);
    flushText();
    currentParagraph().runs << Run{QString(), QTextCharFormat(), image, size};
    m_picture = Picture();
}

} // namespace Rtf
