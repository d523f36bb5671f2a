#pragma once

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace tandrel::testing {

// The environment of an `embrik-host` started by a test: every folder it keeps things in
// (data, settings, caches, state, its socket) private to the test below `home`, no screen
// and no update server.
inline QProcessEnvironment hostEnvironment(const QTemporaryDir &home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                 "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home.filePath(QString::fromUtf8(variable));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QString::fromUtf8(variable), folder);
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TANDREL_UPDATE_SERVER"), QString());
    return environment;
}

} // namespace tandrel::testing
