#pragma once

class QDialog;

// Mnemonics as a Windows dialog has them: Alt+letter anywhere, the letter alone where the focus
// is on a button or check box (an edit takes it as typing). A button's mnemonic focuses and
// clicks it at once, one click per press; a label's focuses the control after it.
void UseWindowsMnemonics(QDialog& dialog);
