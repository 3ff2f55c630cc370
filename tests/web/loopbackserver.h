#pragma once
// A small HTTP server on 127.0.0.1 for the browser tests.  "/one", "/two" and
// "/three" are pages titled "One", "Two" and "Three"; any other path is a page
// titled with its host and path, so that every link can be followed to it.

#include <QList>
#include <QString>
#include <QTcpServer>

class LoopbackServer : public QTcpServer {
public:
    struct Request {
        QString host; // as the browser sent it, without the port
        QString path; // path and query
    };

    LoopbackServer();

    // "http://127.0.0.1:<port>" + path
    QString address(const QString& path) const;
    // Requests in the order they came, the browser's favicon requests left out.
    const QList<Request>& requests() const { return requests_; }
    QStringList paths() const;
    void forget() { requests_.clear(); }
    // Requests for this host are recorded and never answered (a page that keeps loading).
    void stall(const QString& host) { stalled_ = host; }

private:
    void answer(class QTcpSocket* socket);

    QList<Request> requests_;
    QString stalled_;
};
