#include "dialogs.h"
#include "drives.h"
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace plat {

QString appTitle() {
    return QStringLiteral("ぬもZelnori");
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    return dialogs().inputBox(prompt, title, defaultText).value_or(QString());
}

namespace {

// "exe file(*.exe)|*.exe|all file(*.*)|*.*" -> Qt's name filters. Windows patterns match without
// regard to case and "*.*" means every file, so both are widened for the Linux dialog.
QStringList qtFilters(const QString& filter) {
    QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList pats;
        for (QString p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == "*.*" || p == "*") {
                pats = {"*"};
                break;
            }
            pats << p.toLower() << p.toUpper();
        }
        pats.removeDuplicates();
        out << QStringLiteral("%1 (%2)").arg(parts[i], pats.join(' '));
    }
    return out;
}

class RealDialogs : public Dialogs {
  public:
    int msgBox(const QString& text, int style, const QString& title) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title.isEmpty() ? appTitle() : title);
        box.setText(text);
        switch (style & 0x70) {
        case vbCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case vbQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case vbExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case vbInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
        }
        struct B {
            QString text;
            int result;
            QMessageBox::ButtonRole role;
        };
        std::vector<B> buttons;
        switch (style & 7) {
        case vbOKCancel:
            buttons = {{"OK", vbOK, QMessageBox::AcceptRole},
                       {"キャンセル", vbCancel, QMessageBox::RejectRole}};
            break;
        case vbAbortRetryIgnore:
            buttons = {{"中止(&A)", vbAbort, QMessageBox::RejectRole},
                       {"再試行(&R)", vbRetry, QMessageBox::AcceptRole},
                       {"無視(&I)", vbIgnore, QMessageBox::AcceptRole}};
            break;
        case vbYesNoCancel:
            buttons = {{"はい(&Y)", vbYes, QMessageBox::YesRole},
                       {"いいえ(&N)", vbNo, QMessageBox::NoRole},
                       {"キャンセル", vbCancel, QMessageBox::RejectRole}};
            break;
        case vbYesNo:
            buttons = {{"はい(&Y)", vbYes, QMessageBox::YesRole}, {"いいえ(&N)", vbNo, QMessageBox::NoRole}};
            break;
        case vbRetryCancel:
            buttons = {{"再試行(&R)", vbRetry, QMessageBox::AcceptRole},
                       {"キャンセル", vbCancel, QMessageBox::RejectRole}};
            break;
        default:
            buttons = {{"OK", vbOK, QMessageBox::AcceptRole}};
            break;
        }
        std::vector<QPushButton*> made;
        for (const B& b : buttons)
            made.push_back(box.addButton(b.text, b.role));
        int def = (style & 0x300) >> 8;
        if (def < int(made.size())) box.setDefaultButton(made[size_t(def)]);
        if (style & vbSystemModal) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.exec();
        for (size_t i = 0; i < made.size(); ++i)
            if (box.clickedButton() == made[i]) return buttons[i].result;
        // Closed with Esc or the window's close box: the cancelling answer.
        return (style & 7) == vbYesNo ? vbNo : ((style & 7) == vbOKOnly ? vbOK : vbCancel);
    }

    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override {
        QInputDialog dlg(QApplication::activeWindow());
        dlg.setWindowTitle(title.isEmpty() ? appTitle() : title);
        dlg.setLabelText(prompt);
        dlg.setTextValue(defaultText);
        dlg.setOkButtonText("OK");
        dlg.setCancelButtonText("キャンセル");
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.textValue();
    }

    std::optional<QString> openFile(const OpenFileRequest& req) override {
        QFileDialog dlg(QApplication::activeWindow(),
                        req.title.isEmpty() ? QStringLiteral("ファイルを開く") : req.title);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        const QStringList filters = qtFilters(req.filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            int idx = req.filterIndex - 1;
            if (idx >= 0 && idx < filters.size()) dlg.selectNameFilter(filters[idx]);
        }
        if (!req.initDir.isEmpty()) dlg.setDirectory(hostPath(req.initDir));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        return windowsPath(dlg.selectedFiles().first());
    }

    int showModal(QDialog* form) override { return form->exec(); }
};

RealDialogs g_real;

std::optional<QString> takeAnswer(std::deque<std::optional<QString>>& queue) {
    if (queue.empty()) return std::nullopt;
    const bool has = queue.front().has_value();
    const QString text = has ? *queue.front() : QString();
    queue.pop_front();
    if (!has) return std::nullopt;
    return text;
}
Dialogs* g_dialogs = nullptr;

} // namespace

Dialogs& dialogs() {
    return g_dialogs ? *g_dialogs : g_real;
}
void setDialogs(Dialogs* d) {
    g_dialogs = d;
}

int FakeDialogs::msgBox(const QString& text, int style, const QString& title) {
    messages.push_back({text, style, title});
    if (msgAnswers.empty()) return (style & 7) == vbYesNo || (style & 7) == vbYesNoCancel ? vbNo : vbOK;
    int a = msgAnswers.front();
    msgAnswers.pop_front();
    return a;
}

std::optional<QString> FakeDialogs::inputBox(const QString& prompt, const QString& title,
                                             const QString& defaultText) {
    inputs.push_back({prompt, title, defaultText});
    return takeAnswer(inputAnswers);
}

std::optional<QString> FakeDialogs::openFile(const OpenFileRequest& req) {
    openRequests.push_back(req);
    return takeAnswer(openAnswers);
}

int FakeDialogs::showModal(QDialog* form) {
    modalForms.push_back(form->objectName());
    form->setModal(false);
    form->show();
    if (onModal) onModal(form);
    if (form->isVisible()) form->reject();
    return form->result();
}

} // namespace plat
