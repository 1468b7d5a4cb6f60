#include "SerialLine.h"

#include <csignal>

SerialLine::SerialLine() : port_(io_), timer_(io_), signals_(io_) {}

bool SerialLine::Configure(const std::string& path, unsigned baud, std::string& error) {
    asio::error_code failure;
    using Base = asio::serial_port_base;
    port_.set_option(Base::character_size(8), failure);
    if (!failure) port_.set_option(Base::parity(Base::parity::none), failure);
    if (!failure) port_.set_option(Base::stop_bits(Base::stop_bits::one), failure);
    if (failure) {
        error = path + ": 8N1 refused: " + failure.message();
    } else if (baud != 0) {
        port_.set_option(Base::baud_rate(baud), failure);
        if (failure) error = path + ": " + std::to_string(baud) + " baud refused: " + failure.message();
    }
    baud_ = baud;
    return !failure;
}

void SerialLine::StopOnSignals() {
    if (watchingSignals_) return;
    watchingSignals_ = true;
    signals_.add(SIGINT);
    signals_.add(SIGTERM);
    signals_.async_wait([this](const asio::error_code& error, int) {
        if (!error) interrupted_ = true;
    });
}

bool SerialLine::Write(const uint8_t* bytes, size_t count) {
    asio::error_code failure;
    asio::write(port_, asio::buffer(bytes, count), failure);
    return !failure;
}

SerialLine::Read SerialLine::ReadSome(uint8_t* buffer, size_t maxCount, Clock::time_point deadline, size_t& got) {
    got = 0;
    // A signal that came while no wait was running is delivered here.
    io_.restart();
    io_.poll();
    if (interrupted_) return Read::Interrupted;

    bool readPending = true, timerPending = true, timedOut = false;
    asio::error_code readFailure;
    port_.async_read_some(asio::buffer(buffer, maxCount), [&](const asio::error_code& failure, size_t count) {
        readPending = false;
        readFailure = failure;
        got = count;
    });
    timer_.expires_at(deadline);
    timer_.async_wait([&](const asio::error_code& failure) {
        timerPending = false;
        timedOut = !failure;
    });
    io_.restart();  // the poll above stops a context that had nothing to do
    while (readPending && !timedOut && !interrupted_) io_.run_one();
    // Both handlers refer to this frame: let them finish before it ends.
    asio::error_code ignored;
    if (readPending) port_.cancel(ignored);
    if (timerPending) timer_.cancel();
    while (readPending || timerPending) io_.run_one();

    if (got > 0) return Read::Data;
    if (interrupted_) return Read::Interrupted;
    if (timedOut || !readFailure) return Read::TimedOut;
    failure_ = readFailure.message();
    return Read::Failed;
}
