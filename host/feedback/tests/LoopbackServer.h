#pragma once

#include "host/feedback/FeedbackService.h"

#include <httplib.h>

#include <QString>
#include <QTcpServer>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tandrel::testing {

// A feedback server on 127.0.0.1, on its own thread: it answers each post to the records path
// with the next of its answers (the last one repeating) and keeps what it was sent.
class LoopbackServer {
public:
    struct Answer {
        int status = 201;
        std::string body = R"({"id":"abc"})";
    };
    struct Part {
        std::string filename;
        std::string contentType;
        std::string content;
    };
    struct Request {
        std::string contentType;
        // The body of a post that is no multipart form.
        std::string body;
        // The parts of a multipart form, by name.
        std::map<std::string, Part> parts;
    };

    LoopbackServer() : LoopbackServer(std::vector<Answer>(1)) {}
    explicit LoopbackServer(std::vector<Answer> answers) : answers_(std::move(answers)) {
        server_.Post(FeedbackService::recordsPath, [this](const httplib::Request &request,
                                                          httplib::Response &response) {
            Request kept{request.get_header_value("Content-Type"), request.body, {}};
            for (const auto &[name, file] : request.files) {
                kept.parts[name] = Part{file.filename, file.content_type, file.content};
            }
            const std::lock_guard lock(mutex_);
            const Answer &answer = answers_[std::min(requests_.size(), answers_.size() - 1)];
            requests_.push_back(std::move(kept));
            response.status = answer.status;
            response.set_content(answer.body, "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~LoopbackServer() {
        // Stopping before the loop has started would leave it running for good.
        while (!server_.is_running()) {
            std::this_thread::yield();
        }
        server_.stop();
        thread_.join();
    }

    QString server() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

    std::vector<Request> requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }
    std::size_t requestCount() const {
        const std::lock_guard lock(mutex_);
        return requests_.size();
    }

    // A loopback address where nobody listens.
    static QString closedServer() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<Answer> answers_;
    std::vector<Request> requests_;
};

} // namespace tandrel::testing
