#include "loopbackserver.h"

#include <QTcpSocket>
#include <QUrl>

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
    const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n")) return;
    const QList<QByteArray> lines = head.left(head.indexOf("\r\n\r\n")).split('\n');
    QString path = QString::fromLatin1(lines.value(0).trimmed().split(' ').value(1));
    // As the browser's proxy the server gets whole addresses.
    if (path.startsWith(QStringLiteral("http://"))) {
        const QUrl url(path);
        path = u'/' + url.path(QUrl::FullyEncoded).mid(url.path().startsWith(u'/') ? 1 : 0) +
               (url.hasQuery() ? u'?' + url.query(QUrl::FullyEncoded) : QString());
    }
    QString host;
    for (const QByteArray& line : lines)
        if (line.toLower().startsWith("host:"))
            host = QString::fromLatin1(line.mid(5).trimmed()).section(u':', 0, 0);
    QByteArray status = "200 OK", headers, body;
    if (!stalled_.isEmpty() && host == stalled_ && path != QStringLiteral("/favicon.ico")) {
        // A page that never comes: the request is kept, the answer never sent.
        if (!socket->property("stalled").toBool()) requests_.append({host, path});
        socket->setProperty("stalled", true);
        return;
    } else if (path == QStringLiteral("/favicon.ico")) {
        status = "404 Not Found";
    } else {
        requests_.append({host, path});
        const QString page = path.section(u'?', 0, 0);
        const QString title = page == u"/one"      ? QStringLiteral("One")
                              : page == u"/two"    ? QStringLiteral("Two")
                              : page == u"/three"  ? QStringLiteral("Three")
                              : page == u"/cookie" ? QStringLiteral("Cookie")
                                                   : host + path;
        body = QStringLiteral(
                   "<!DOCTYPE html><html><head><title>%1</title></head><body><h1>%1</h1></body></html>")
                   .arg(title.toHtmlEscaped())
                   .toUtf8();
        // A page that asks to keep things: a lasting cookie and local storage.
        if (page == u"/cookie") {
            headers = "Set-Cookie: visitor=1; Max-Age=86400; Path=/\r\n";
            body += "<script>localStorage.setItem('visits', '1'); indexedDB.open('fairstake');</script>";
        }
    }
    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + headers + "\r\n" + body);
    socket->disconnectFromHost();
}
