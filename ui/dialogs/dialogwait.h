#pragma once

// Keeps the event loop turning until a modeless dialog says it is done
// (SetDialogDone). A nested call, while another command still waits,
// returns at once.
void WaitForDialog();
void SetDialogDone();
