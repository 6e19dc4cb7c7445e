#pragma once

// One running instance per data folder. The first start holds a lock file in the folder and listens on a
// local socket named after the folder; a later start finds the lock held, asks the running instance to
// bring its window to the front and ends without writing anything. A lock left by a killed instance is
// taken over: its process is gone, and with it the kernel's lock on the file.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;
class QWidget;

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Start {
        /// This process holds the folder and serves later starts.
        first,
        /// Another running instance holds the folder and was asked to come to the front.
        handedOver,
        /// Another instance holds the folder but did not answer in time.
        heldElsewhere,
        /// The lock file could not be made (the folder is not writable); nothing guards the folder.
        unguarded,
    };

    explicit SingleInstance(QString dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// Takes the data folder for this process or hands over to the instance that holds it. Call once.
    Start start();

    /// The lock file in the data folder.
    static QString lockFilePath(const QString& dataFolder);
    /// The local socket name of the instance that holds the data folder.
    static QString serverName(const QString& dataFolder);

Q_SIGNALS:
    /// A later start asked this instance to come to the front.
    void activationRequested();

private:
    bool listen();
    bool handOver();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

/// Shows the window, restores it when minimised, raises it above the others and activates it.
void bringToFront(QWidget* window);
