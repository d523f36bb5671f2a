#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

namespace tandrel {

// One host per user: the first start listens on a local socket in the user's runtime folder;
// a later start hands its request to the running one and ends. A lock file beside the socket
// keeps two starts from both taking the first place.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char *socketName = "com.ostrevale.tandrel.host";

    enum class Claim {
        // This process is the host: it listens for later starts.
        listening,
        // A running host took the request: this process should end.
        handedOver,
        // Neither: the socket could not be made (this process may still run on its own).
        failed,
    };

    explicit SingleInstance(QString socketPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // "com.ostrevale.tandrel.host" in the user's runtime folder ($XDG_RUNTIME_DIR).
    static QString standardSocketPath();

    // Hands `request` to a running host, or else becomes the host.
    Claim claim(const QByteArray &request);
    QString errorString() const { return error_; }

signals:
    // A later start's request, once it has arrived whole.
    void requestReceived(const QByteArray &request);

private:
    bool handOver(const QByteArray &request);
    bool listen();
    void accept();

    QString path_;
    QString error_;
    QLocalServer *server_ = nullptr;
};

} // namespace tandrel
