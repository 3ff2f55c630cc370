#include "loopbackserver.h"

#include <QTcpSocket>
#include <QUrl>

namespace {

QByteArray Page(const QString& title, const QString& text) {
    return QStringLiteral("<!DOCTYPE html><html><head><title>%1</title></head>"
                          "<body style=\"font-family: sans-serif; background: #f4f0e0\">"
                          "<h1>%1</h1><p>%2</p></body></html>")
        .arg(title.toHtmlEscaped(), text.toHtmlEscaped())
        .toUtf8();
}

} // namespace

LoopbackServer::LoopbackServer() {
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString LoopbackServer::address(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
}

QStringList LoopbackServer::paths() const {
    QStringList out;
    for (const Request& r : requests_)
        out << r.path;
    return out;
}

void LoopbackServer::answer(QTcpSocket* socket) {
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n")) return;
    const QList<QByteArray> lines = head.left(head.indexOf("\r\n\r\n")).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    QString path = QString::fromLatin1(requestLine.value(1));
    // As the browser's proxy the server gets whole addresses.
    if (path.startsWith(QStringLiteral("http://"))) {
        const QUrl url(path);
        path = url.path(QUrl::FullyEncoded) +
               (url.hasQuery() ? u'?' + url.query(QUrl::FullyEncoded) : QString());
        if (path.isEmpty() || path.startsWith(u'?')) path.prepend(u'/');
    }
    QString host;
    for (const QByteArray& line : lines) {
        if (line.toLower().startsWith("host:")) host = QString::fromLatin1(line.mid(5).trimmed());
    }
    host = host.section(u':', 0, 0);

    QByteArray status = "200 OK";
    QByteArray extraHeaders;
    QByteArray body;
    if (!stalled_.isEmpty() && host == stalled_ && path != QStringLiteral("/favicon.ico")) {
        if (!socket->property("stalled").toBool()) requests_.append({host, path});
        socket->setProperty("stalled", true);
        return;
    } else if (path == QStringLiteral("/favicon.ico")) {
        status = "404 Not Found";
    } else {
        requests_.append({host, path});
        const QString page = path.section(u'?', 0, 0);
        if (page == QStringLiteral("/one"))
            body = Page(QStringLiteral("One"), QStringLiteral("The first page."));
        else if (page == QStringLiteral("/two"))
            body = Page(QStringLiteral("Two"), QStringLiteral("The second page."));
        else if (page == QStringLiteral("/three"))
            body = Page(QStringLiteral("Three"), QStringLiteral("The third page."));
        else if (page == QStringLiteral("/cookie")) {
            // A page that asks to keep things: a lasting cookie and local storage.
            extraHeaders = "Set-Cookie: visitor=1; Max-Age=86400; Path=/\r\n";
            body = Page(QStringLiteral("Cookie"), QStringLiteral("Remember me.")) +
                   "<script>localStorage.setItem('visits', '1'); indexedDB.open('fairstake');</script>";
        } else
            body = Page(host + path, QStringLiteral("Served from the loopback server."));
    }
    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" +
                  body);
    socket->disconnectFromHost();
}
