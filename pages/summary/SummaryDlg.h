#pragma once
// Page type 12, the last page: what was set up (the recorder's admin password, the cloud account, the added
// cameras) on one of four panels, "GO TO NVR" to open the recorder's web interface in the default browser,
// and FINISH, which leaves the desktop launcher and ends the wizard. There is no Back.

#include <QString>
#include <QStringList>
#include <QWidget>

#include "pages/common/WizardPage.h"
#include "pages/summary/SummaryRules.h"
#include "steps/launcher/DesktopLauncher.h"

namespace vrx {

// The summary panel: the NVR section, then the kelvaro and camera sections where its variant has them. Its
// object name is the variant's class name (CSummaryTable, CSummaryTable2, 3 or 4). It paints the lines of
// summary::PanelLines and shows the same lines to a screen reader as its rows; Tab reaches it, and the arrow
// keys then walk it line by line (the passwords read as they are shown).
class CSummaryTable : public QWidget {
  Q_OBJECT
 public:
  using Values = summary::Values;
  CSummaryTable(QWidget* parent, summary::Panel panel, const Values& values);
  summary::Panel panel() const { return panel_; }
  // The section headings drawn, in order ("NVR", "kelvaro", "Cameras" in the current language).
  QStringList headings() const { return summary::Headings(lines_); }
  const std::vector<summary::Line>& lines() const { return lines_; }
  // The line the arrow keys are on.
  int currentLine() const { return current_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void focusInEvent(QFocusEvent*) override;
  void focusOutEvent(QFocusEvent*) override;

 private:
  void MoveTo(int line);

  summary::Panel panel_;
  std::vector<summary::Line> lines_;
  int current_ = 0;
};

class CSummaryDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageSummary;
  static constexpr int kCmdFinish = 1026;
  static constexpr int kCmdGoToNvr = 1027;

  explicit CSummaryDlg(CInterDialog& host);

  CSummaryTable* table() const { return table_; }
  // Where FINISH puts the launcher (the desktop folder; tests point it elsewhere through HOME).
  QString recorderAddress() const { return recorderIp_; }

 protected:
  void OnCommand(int commandId) override;

 private:
  void Finish();
  void OpenRecorderInBrowser();

  QString recorderIp_;
  steps::DesktopLauncher::Inputs launcherInputs_;  // the cloud values as the page opened on them
  CSummaryTable* table_ = nullptr;
};

}  // namespace vrx
