#include "widgets/JobProgressPanel.h"

#include "jobs/JobRunner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

JobProgressPanel::JobProgressPanel(jobs::JobRunner &runner, QWidget *parent)
    : QWidget(parent), runner_(runner), bar_(new QProgressBar), counts_(new QLabel),
      cmdCancelJob_(new QPushButton(QStringLiteral("Cancel"))) {
  auto *row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  bar_->setTextVisible(false);
  bar_->setAccessibleName(QStringLiteral("Progress"));
  counts_->setMinimumWidth(
      counts_->fontMetrics().horizontalAdvance(QStringLiteral("1,000,000 of 1,000,000 tips")));
  cmdCancelJob_->setObjectName(QStringLiteral("cmdCancelJob"));
  cmdCancelJob_->setToolTip(QStringLiteral("Stops the work; nothing is changed"));
  row->addWidget(bar_, 1);
  row->addWidget(counts_);
  row->addWidget(cmdCancelJob_);
  hide();
  connect(cmdCancelJob_, &QPushButton::clicked, this, [this] {
    runner_.requestStop();
    showStatus();
  });
  connect(&runner, &jobs::JobRunner::started, this, [this] {
    showStatus();
    show();
    cmdCancelJob_->setFocus();
  });
  connect(&runner, &jobs::JobRunner::progressed, this, &JobProgressPanel::showStatus);
  connect(&runner, &jobs::JobRunner::ended, this, &QWidget::hide);
}

QString JobProgressPanel::countsText() const { return counts_->text(); }

void JobProgressPanel::showStatus() {
  const jobs::JobStatus status = runner_.status();
  counts_->setText(jobs::progressText(status));
  if (status.total > 0) {
    // The bar counts in thousandths: a million does not fit every style's range.
    bar_->setRange(0, 1000);
    bar_->setValue(int(std::min(status.done, status.total) * 1000 / status.total));
  } else {
    bar_->setRange(0, 0); // busy, without a share
  }
  cmdCancelJob_->setEnabled(status.cancellable && !status.stopRequested);
}
