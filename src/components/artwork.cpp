#include "components/artwork.h"

#include <QFile>
#include <QIconEngine>
#include <QImageReader>

namespace fairstake {

namespace {

QString doubled(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

class ArtworkIconEngine : public QIconEngine {
public:
    explicit ArtworkIconEngine(QString path) : path_(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // Answered without reading the picture.
    bool isNull() override { return loaded_ ? icon_.isNull() : !QFile::exists(path_); }
    QString key() const override { return QStringLiteral("fairstake-artwork"); }
    QIconEngine* clone() const override { return new ArtworkIconEngine(path_); }

private:
    const QIcon& icon() {
        if (!loaded_) {
            loaded_ = true;
            icon_.addPixmap(QPixmap::fromImage(ReadArtwork(path_)));
            if (const QImage sharp = ArtworkImage(path_, 2.0); sharp.devicePixelRatio() == 2.0)
                icon_.addPixmap(QPixmap::fromImage(sharp));
        }
        return icon_;
    }

    QString path_;
    bool loaded_ = false;
    QIcon icon_;
};

} // namespace

QImage ReadArtwork(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    QImageReader reader(path, dot < 0 ? QByteArray() : path.mid(dot + 1).toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage ArtworkImage(const QString& path, qreal ratio) {
    if (ratio > 1.0) {
        if (const QString two = doubled(path); QFile::exists(two)) {
            QImage sharp = ReadArtwork(two);
            if (!sharp.isNull()) {
                sharp.setDevicePixelRatio(2.0);
                return sharp;
            }
        }
    }
    return ReadArtwork(path);
}

QPixmap ArtworkPixmap(const QString& path, qreal ratio) { return QPixmap::fromImage(ArtworkImage(path, ratio)); }

QIcon ArtworkIcon(const QString& path) { return QIcon(new ArtworkIconEngine(path)); }

} // namespace fairstake
