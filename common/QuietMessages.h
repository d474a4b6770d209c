#pragma once

// Keeps Qt's notes that tell a user nothing from standard error: that a statement of a failed server
// transaction could not be freed (the failure itself is reported), and that the runtime folder is not set
// (Qt then uses one of its own). Every other message passes on as before.
void installQuietMessages();
