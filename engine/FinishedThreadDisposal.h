#pragma once

class QThread;

// Deletes thread once it has finished, without waiting for it: a stopped conversion job's
// thread ends within moments, but on a busy machine waiting for each in turn would hold the
// window for as many moments as there are jobs. GUI thread; thread lives there.
void deleteWhenFinished(QThread *thread);
