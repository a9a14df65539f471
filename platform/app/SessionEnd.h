// The desktop's session management, connected to the application object; not for use outside
// platform/app.
#pragma once

// Routes the session manager's logout (its request to commit data) to Application->EndSession,
// cancelling the logout when the program refuses. Connected once; harmless without a manager.
void ConnectSessionManager();
