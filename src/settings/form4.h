#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;

// The settings dialog: edits the play and sound settings, stored only on OK.
class Form4 : public QDialog {
    Q_OBJECT
  public:
    explicit Form4(QWidget* title);

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QCheckBox* Check4;
    QCheckBox* Check5;
    QCheckBox* Check6;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QScrollBar* HScroll1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check5_Click();
    void HScroll1_Change();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void placeSettings();
    void placeButtonsAndCaution();
    void connectEvents();
    void dispChui();
};
