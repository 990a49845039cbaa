#pragma once

class QNetworkAccessManager;

// Deletes a network access manager without holding the calling thread. Qt's manager waits up
// to five seconds for its network thread when it is destroyed, and a service that floods a
// reply (endless header lines, endless tiny chunks) keeps that thread busy for as long as it
// sends. The manager is handed to a thread of its own, which takes that wait instead.
// Call from the manager's thread once its replies are finished with: they are deleted at once.
void retireNetworkManager(QNetworkAccessManager *manager);
