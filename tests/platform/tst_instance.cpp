#include "testenv.h"
class T : public QObject { Q_OBJECT };
INSTALLER_TEST_MAIN(T)
#include "tst_instance.moc"
