#include "unpacker.h"

Unpacker::Unpacker(QObject *parent) : QObject(parent) {}

Unpacker::~Unpacker() = default;

void Unpacker::start() {}

void Unpacker::onFinished() {}
