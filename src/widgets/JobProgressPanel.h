#pragma once
// The progress of a long job on a screen: a bar, the counts ("12,000 of 48,000 tips") and
// Cancel, shown while a job of its runner runs and hidden otherwise. Cancel asks the job to
// stop, and is disabled once the job can no longer stop without leaving something changed.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace jobs {
class JobRunner;
}

class JobProgressPanel : public QWidget {
  Q_OBJECT
public:
  JobProgressPanel(jobs::JobRunner &runner, QWidget *parent = nullptr);

  QPushButton *cancelButton() const { return cmdCancelJob_; }
  QString countsText() const;

private:
  void showStatus();

  jobs::JobRunner &runner_;
  QProgressBar *bar_;
  QLabel *counts_;
  QPushButton *cmdCancelJob_;
};
