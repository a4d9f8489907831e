#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "message/header_lines.h"
#include "message/mime_part.h"

namespace kivo {

// The record of one message waiting on a POP3 server, built once from the
// lines of the TOP reply and the LIST size. Only the five marks change later.
// No lock of its own: the owning account guards it.
class Message {
public:
    // lines: the TOP reply's content lines without terminators (header, the
    // empty separator line, the first body lines); may be empty.
    Message(const Lines& lines, std::int32_t size);

    const std::string& from() const { return from_; }
    // Whether the header had the field at all (a missing one reads "None").
    bool has_from() const;
    bool has_subject() const;
    const std::string& subject() const { return subject_; }
    const std::string& date() const { return date_; }
    const std::string& to() const { return to_; }
    const std::string& cc() const { return cc_; }
    const std::string& bcc() const { return bcc_; }
    const std::string& message_id() const { return message_id_; }
    std::int32_t size() const { return size_; }
    const std::string& size_text() const { return size_text_; }
    std::int32_t priority() const { return priority_; }
    std::uint32_t key() const { return key_; }
    const std::string& header_text() const { return header_text_; }
    // NUL-terminated, for the header viewer.
    const char* header_text_c_str() const { return header_text_.c_str(); }
    const std::string& body_text() const { return body_text_; }
    const std::vector<std::string>& attachment_names() const { return attachment_names_; }
    bool has_attachment() const { return has_attachment_; }

    bool deleted() const { return deleted_; }
    bool seen() const { return seen_; }
    bool spammer() const { return spammer_; }
    bool uncertain() const { return uncertain_; }
    bool friendly() const { return friendly_; }

    // A message to be deleted is no longer treated as friendly.
    void mark_deleted()
    {
        deleted_ = true;
        friendly_ = false;
    }
    void clear_deleted() { deleted_ = false; }
    void set_seen() { seen_ = true; }
    void clear_seen() { seen_ = false; }
    void set_spammer(bool on) { spammer_ = on; }
    void set_uncertain(bool on) { uncertain_ = on; }
    void set_friendly(bool on) { friendly_ = on; }

    // Header value parsers; they keep what they read before anything
    // malformed and never throw.
    static void parse_content_type(const std::string& value, MimePart& part);
    static void parse_content_disposition(const std::string& value, MimePart& part);

    // Deeper multipart nesting than this is not scanned for attachments;
    // it bounds the recursion on hostile input.
    static constexpr int kMaxMultipartDepth = 32;

private:
    // Which of the two MIME headers a part has already taken (first wins).
    struct PartHeadersFound {
        bool disposition = false;
        bool type = false;
    };

    std::size_t scan_header(const Lines& lines);
    void extract_header_value(const std::string& logical);
    void extract_part_header(const std::string& logical, MimePart& part, PartHeadersFound& found);
    void take_disposition(std::string_view value, MimePart& part);
    void take_type(std::string_view value, MimePart& part);
    void scan_multipart(const Lines& lines, std::size_t begin, std::size_t end, const MimePart& enclosing,
                        int depth);
    void compute_key();

    std::string from_;
    std::string subject_;
    std::string date_;
    std::string to_;
    std::string cc_;
    std::string bcc_;
    std::string message_id_;
    std::int32_t size_ = 0;
    std::string size_text_;
    std::int32_t priority_ = 3;
    std::uint32_t key_ = 0;
    std::string header_text_;
    std::string body_text_;
    std::vector<std::string> attachment_names_;
    bool has_attachment_ = false;

    bool deleted_ = false;
    bool seen_ = false;
    bool spammer_ = false;
    bool uncertain_ = false;
    bool friendly_ = false;

    bool found_[10] = {};  // one flag per header name, in extraction order
    MimePart part_;        // the message's own entity
    // Parts of a multipart body; a deque so references stay valid while
    // nested parts are added.
    std::deque<MimePart> sub_parts_;
};

}  // namespace kivo
