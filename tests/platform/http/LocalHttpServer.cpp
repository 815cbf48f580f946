#include "platform/http/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <stdexcept>

namespace {

struct KeyAndCertificate {
  EVP_PKEY* key;
  X509* certificate;
};

// A self-signed certificate for "localhost", valid for a day; it chains to nothing trusted.
KeyAndCertificate MakeCertificate() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  X509* certificate = X509_new();
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate), -60);
  X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
  X509_set_pubkey(certificate, key);
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"),
                             -1, -1, 0);
  X509_set_issuer_name(certificate, name);
  X509_sign(certificate, key, EVP_sha256());
  return {key, certificate};
}

RecordedRequest Record(const httplib::Request& request) {
  return RecordedRequest{request.method, request.target, request.version, request.headers, request.body};
}

}  // namespace

std::string RecordedRequest::header(const std::string& name) const {
  auto found = headers.find(name);
  return found == headers.end() ? std::string() : found->second;
}

size_t RecordedRequest::headerCount(const std::string& name) const {
  return headers.count(name);
}

LocalHttpServer::LocalHttpServer(bool https, Handler handler) : https_(https) {
  if (https) {
    KeyAndCertificate made = MakeCertificate();
    server_ = std::make_unique<httplib::SSLServer>(made.certificate, made.key);
    X509_free(made.certificate);
    EVP_PKEY_free(made.key);
  } else {
    server_ = std::make_unique<httplib::Server>();
  }
  if (!handler)
    handler = [](const httplib::Request&, httplib::Response& response) {
      response.set_content("ok", "text/plain");
    };
  auto answer = [this, handler](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(Record(request));
    }
    handler(request, response);
  };
  // Methods the server routes get their body read first; the others are answered here.
  server_->set_pre_routing_handler([answer](const httplib::Request& request, httplib::Response& response) {
    static const std::set<std::string> routed = {"GET", "HEAD", "POST", "PUT", "DELETE", "OPTIONS", "PATCH"};
    if (routed.count(request.method)) return httplib::Server::HandlerResponse::Unhandled;
    answer(request, response);
    return httplib::Server::HandlerResponse::Handled;
  });
  server_->Get(".*", answer);
  server_->Post(".*", answer);
  server_->Put(".*", answer);
  server_->Delete(".*", answer);
  server_->Options(".*", answer);
  server_->Patch(".*", answer);
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a test server");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LocalHttpServer::~LocalHttpServer() {
  server_->stop();
  thread_.join();
}

std::string LocalHttpServer::url(const std::string& path) const {
  return std::string(https_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<RecordedRequest> LocalHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

RecordedRequest LocalHttpServer::lastRequest() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.empty() ? RecordedRequest{} : requests_.back();
}

RecordingProxy::RecordingProxy()
    : server_(false, [](const httplib::Request& request, httplib::Response& response) {
        // The target is absolute: http://host:port/path.
        std::string rest = request.target.substr(request.target.find("://") + 3);
        std::string hostPort = rest.substr(0, rest.find('/'));
        std::string path = rest.substr(hostPort.size());
        httplib::Client client("http://" + hostPort);
        httplib::Headers headers;
        for (const auto& [name, value] : request.headers) {
          if (name != "Proxy-Authorization" && name != "Host" && name != "Content-Length")
            headers.emplace(name, value);
        }
        httplib::Result result =
            request.method == "POST"
                ? client.Post(path, headers, request.body, request.get_header_value("Content-Type"))
                : client.Get(path, headers);
        if (!result) {
          response.status = 502;
          return;
        }
        response.status = result->status;
        for (const auto& [name, value] : result->headers) {
          if (name != "Content-Length" && name != "Content-Type") response.set_header(name, value);
        }
        response.set_content(result->body, result->get_header_value("Content-Type"));
      }) {}

std::string RecordingProxy::address() const {
  return "127.0.0.1:" + std::to_string(server_.port());
}

HangUpServer::HangUpServer() {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener_, 8) != 0)
    throw std::runtime_error("cannot listen");
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] {
    for (;;) {
      int connection = accept(listener_, nullptr, nullptr);
      if (connection < 0) return;
      char buffer[4096];
      timeval wait{1, 0};
      setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
      (void)recv(connection, buffer, sizeof buffer, 0);
      close(connection);
    }
  });
}

HangUpServer::~HangUpServer() {
  shutdown(listener_, SHUT_RDWR);
  close(listener_);
  thread_.join();
}

int RefusingPort() {
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(probe, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
  close(probe);
  return ntohs(address.sin_port);
}
