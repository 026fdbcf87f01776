#pragma once
// Message boxes, input boxes, the open-file dialog and modal forms.
//
// One service takes the runtime's style flags and answers with its return codes. The real one
// shows Qt dialogs; tests install FakeDialogs, which records every request and answers from
// queues, and may act inside a modal form before it "closes".
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QWidget;
class QDialog;

namespace plat {

enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbSystemModal = 4096,
};

enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The application's title, shown when a message box has no title of its own.
QString appTitle();

struct OpenFileRequest {
    QString filter;      // "exe file(*.exe)|*.exe|all file(*.*)|*.*"
    int filterIndex = 1; // 1-based
    QString title;
    QString initDir; // Windows form, may be empty
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual int msgBox(const QString& text, int style, const QString& title) = 0;
    // Cancel gives nullopt (the runtime gave ""; callers treat both alike).
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // The chosen file in Windows form; nullopt on cancel.
    virtual std::optional<QString> openFile(const OpenFileRequest& req) = 0;
    // Shows a form modally and returns when it is closed; the result is QDialog's.
    virtual int showModal(QDialog* form) = 0;
};

Dialogs& dialogs();
void setDialogs(Dialogs* d); // not owned; nullptr restores the real one

// Shorthands as the runtime spelt them.
inline int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString()) {
    return dialogs().msgBox(text, style, title);
}
// Cancel and an empty answer both give "".
QString InputBox(const QString& prompt, const QString& title, const QString& defaultText);

class FakeDialogs : public Dialogs {
  public:
    struct MsgRecord {
        QString text;
        int style;
        QString title;
    };
    struct InputRecord {
        QString prompt, title, defaultText;
    };
    std::vector<MsgRecord> messages;
    std::vector<InputRecord> inputs;
    std::vector<OpenFileRequest> openRequests;
    std::vector<QString> modalForms; // objectName of each form shown

    std::deque<int> msgAnswers;                      // empty: vbOK / vbYes-less default (vbOK)
    std::deque<std::optional<QString>> inputAnswers; // empty: nullopt (cancel)
    std::deque<std::optional<QString>> openAnswers;  // empty: nullopt (cancel)
    // Runs while a modal form is "open"; it may click its buttons. If the form is still
    // visible afterwards it is rejected.
    std::function<void(QDialog*)> onModal;

    int msgBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> openFile(const OpenFileRequest& req) override;
    int showModal(QDialog* form) override;
};

} // namespace plat
