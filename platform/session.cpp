// The end of the program from outside, brought onto the event loop.
//
// Signal handlers may do almost nothing, so they only write one byte into a socket pair; a
// notifier on the other end runs the handler from the event loop. A second signal after the
// handler has run ends the program the default way, so that a hung end can still be stopped.
#include "session.h"
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QGuiApplication>
#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {

namespace {

int g_fds[2] = {-1, -1};
volatile std::sig_atomic_t g_done = 0;

void onSignal(int sig) {
    if (g_done) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    const char c = char(sig);
    const ssize_t r = ::write(g_fds[0], &c, 1);
    (void)r;
}

class EndWatcher : public QObject {
    Q_OBJECT
  public:
    std::function<void()> handler;
    QDBusUnixFileDescriptor inhibitor; // held open: logind waits for us until it is closed

    void run() {
        if (g_done || !handler) return;
        g_done = 1;
        const std::function<void()> h = handler;
        h();
        inhibitor = QDBusUnixFileDescriptor(); // saving is done: let the shutdown go on
    }

  public slots:
    void prepareForShutdown(bool starting) {
        if (starting) run();
    }
};

EndWatcher* g_watcher = nullptr;

void installSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) return;
    ::fcntl(g_fds[0], F_SETFL, ::fcntl(g_fds[0], F_GETFL) | O_NONBLOCK);
    auto* notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, g_watcher);
    QObject::connect(notifier, &QSocketNotifier::activated, g_watcher, [] {
        char buf[16];
        while (::recv(g_fds[1], buf, sizeof buf, MSG_DONTWAIT) > 0) {
        }
        g_watcher->run();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

// A delay lock on shutdown from logind, so that a shutdown started elsewhere waits until the
// settings and the page are saved. Without a system bus or logind there is simply none.
void installInhibitor() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    const QString service = QStringLiteral("org.freedesktop.login1");
    const QString path = QStringLiteral("/org/freedesktop/login1");
    const QString iface = QStringLiteral("org.freedesktop.login1.Manager");
    bus.connect(service, path, iface, QStringLiteral("PrepareForShutdown"), g_watcher,
                SLOT(prepareForShutdown(bool)));
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, iface, QStringLiteral("Inhibit"));
    call << QStringLiteral("shutdown") << QStringLiteral("ぬもZelnori")
         << QStringLiteral("設定とページを保存します") << QStringLiteral("delay");
    auto* w = new QDBusPendingCallWatcher(bus.asyncCall(call), g_watcher);
    QObject::connect(w, &QDBusPendingCallWatcher::finished, g_watcher, [](QDBusPendingCallWatcher* w) {
        QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (!reply.isError() && !g_done) g_watcher->inhibitor = reply.value();
        w->deleteLater();
    });
}

} // namespace

void onExternalEnd(std::function<void()> handler) {
    if (!g_watcher) {
        g_watcher = new EndWatcher;
        installSignals();
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QObject::connect(app, &QGuiApplication::commitDataRequest, g_watcher, [] { g_watcher->run(); });
        }
        installInhibitor();
    }
    g_watcher->handler = std::move(handler);
    g_done = 0;
}

} // namespace plat

#include "session.moc"
