#pragma once
// The program's windows, created once in start-up order and kept until the program ends.

// Creates the ten forms, hidden, in start-up order: the main window, the log window, the rename
// dialog, the available-ports window, the port settings dialog, the instrument settings window, the
// copy dialog, and the Ondrel, Framont and Pexmar panels.
void CreateForms();
// Stops and joins every worker, then frees the forms in the reverse order (at the end of the program,
// and between tests).
void DestroyForms();
