#pragma once
// The folder dialog: registers a folder typed or picked from the drive and folder lists.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace plat {
class DriveListBox;
class DirListBox;
} // namespace plat

namespace core {

class FileZelnori;

class InFold : public QDialog {
    Q_OBJECT
  public:
    explicit InFold(FileZelnori* owner);
    QLineEdit* Text1;
    plat::DirListBox* Dir1;
    plat::DriveListBox* Drive1;
    QPushButton* ok;
    QPushButton* no;
    QLabel* Label1;
    QLabel* Label2;

    void Drive1_Change();
    void Dir1_Click();
    void ok_Click();
    void no_Click();

  private:
    FileZelnori* owner_;
};

} // namespace core
