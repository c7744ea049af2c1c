// Hands the program's built-in images and font stand-ins to the controls.
#pragma once

// Idempotent; user-interface thread. Called before the first page or dialog.
void UseProgramArtInControls();
