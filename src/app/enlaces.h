#pragma once
// The lower layers reach the dialogs and the launcher through seams that the
// program fills before its start-up runs.
void EnlazaDialogos();
