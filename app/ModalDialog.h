#pragma once

class QDialog;
class QWidget;

// Runs a modal dialog the way every modal box of Quorvane runs: over the owner's dim
// overlay when the owner hosts one, centred over the owner, focused and raised. The
// overlay is hidden again before this returns, whatever the result, so the caller's
// confirmed action never runs under it. A null owner (no main window yet) shows the
// dialog without overlay. Returns the dialog's exec() result.
int execModalDialog(QDialog *dialog, QWidget *owner);
