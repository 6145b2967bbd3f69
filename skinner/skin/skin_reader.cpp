#include "skinner/skin/skin_reader.h"

#include "liba/log.h"
#include "liba/text.h"
#include "os/zip_archive.h"
#include "os/file.h"
#include "os/path.h"

#include <vector>

namespace skinner {

using namespace skin_format;
using Offset = SkinReader::Offset;

namespace {

// Reads a whole stream of the given size; false when fewer bytes arrive.
bool read_whole(liba::ResourceReader& reader, liba::ByteBlock& block)
{
    const int32_t size = reader.size();
    block = liba::ByteBlock(size);
    int32_t done = 0;
    while (done < size) {
        const int32_t count = reader.read(block.writable() + done, size - done);
        if (count <= 0)
            break;
        done += count;
    }
    return done == size;
}

bool is_skin_entry(std::u16string_view name)
{
    const size_t separator = name.find_last_of(u"/\\");
    const size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos || (separator != std::u16string_view::npos && dot < separator))
        return false;
    return os::paths_equal(name.substr(dot + 1), u"skin");
}

void log_record_sizes()
{
    static const char16_t* const names[] = {u"IntegerNode", u"PointNode", u"ColorNode", u"StringNode", u"PictureNode"};
    static const Record types[] = {Record::Integer, Record::Point, Record::Color, Record::String, Record::Picture};
    for (int i = 0; i < 5; ++i) {
        const auto size = static_cast<int>(record_size(types[i]));
        liba::log() << u"sizeof(" << names[i] << u")=" << size << u"\n";
        liba::log() << names[i] << u"::Size=" << size << u"\n";
    }
}

} // namespace

liba::ByteBlock load_skin_bytes(std::u16string_view path)
{
    liba::ByteBlock block;
    os::ZipArchive archive(path);
    for (std::u16string entry = archive.next_entry(); !entry.empty(); entry = archive.next_entry()) {
        if (!is_skin_entry(entry))
            continue;
        if (read_whole(archive, block))
            return block;
        liba::log() << u"Error: skin [" << path << u"] failed to load from archive\n";
        return {};
    }
    os::File file(path, os::File::read_only);
    if (!file.is_open())
        return {};
    if (read_whole(file, block))
        return block;
    liba::log() << u"Error: skin [" << path << u"] failed to load\n";
    return {};
}

SkinReader::SkinReader() { log_record_sizes(); }

SkinReader::SkinReader(std::u16string path, platform::Size screen, const SkinDevice& device)
    : path_(std::move(path)), screen_(screen), device_(device), work_area_(work_area_size(screen, device))
{
    log_record_sizes();
    block_ = load_skin_bytes(path_);
    std::string problem;
    data_ = SkinData::open(block_.data(), static_cast<size_t>(block_.length()), &problem);
    if (!data_) {
        if (!block_.empty())
            liba::log() << u"Error: skin [" << path_ << u"] is malformed: " << problem << u"\n";
        return;
    }
    choose_scale(screen);
}

bool SkinReader::exact_scale(platform::Size screen, int& scale) const
{
    if (!devices_admit(data_->devices(), device_.smartphone))
        return false;
    for (int i = 1; i <= 4; ++i) {
        for (uint32_t entry = 0; entry < resolution_count; ++entry) {
            const SkinResolution base = data_->resolution(entry);
            if (int64_t{base.width} * i == screen.width && int64_t{base.height} * i == screen.height) {
                scale = i;
                return true;
            }
        }
    }
    return false;
}

void SkinReader::choose_scale(platform::Size screen)
{
    const SkinResolution first = data_->resolution(0);
    if ((screen.width == 0 && screen.height == 0) || first.width == 0 || first.height == 0)
        return;
    if (exact_scale(screen, scale_))
        return;
    // Best fit: least leftover width, then least leftover height; the first wins ties.
    int64_t best = (int64_t{screen.width} + 1) * screen.height;
    for (int i = 1; i <= 4; ++i) {
        for (uint32_t entry = 0; entry < resolution_count; ++entry) {
            const SkinResolution base = data_->resolution(entry);
            if (base.width < 0 || base.height < 0)
                continue;
            const int64_t dx = screen.width - int64_t{base.width} * i;
            const int64_t dy = screen.height - int64_t{base.height} * i;
            if (dx < 0 || dy < 0)
                continue;
            const int64_t score = dx * screen.height + dy;
            if (score < best) {
                best = score;
                scale_ = i;
            }
        }
    }
}

bool SkinReader::check_version(std::u16string_view key, platform::Size screen) const
{
    if (!data_ || !devices_admit(data_->devices(), device_.smartphone))
        return false;
    if (!key.empty() && data_->key() != key)
        return false;
    if (screen.width == 0 && screen.height == 0)
        return true;
    int scale = 0;
    if (exact_scale(screen, scale))
        return true;
    const SkinResolution first = data_->resolution(0);
    return first.width == 0 && first.height == 0;
}

uint32_t SkinReader::picture_count() const { return data_ ? data_->picture_count() : 0; }

uint32_t SkinReader::font_count() const { return data_ ? data_->font_count() : 0; }

std::u16string SkinReader::picture_name(uint32_t index) const { return data_->text(data_->names().at(index)); }

std::u16string SkinReader::font_spec(uint32_t index) const
{
    return data_->text(data_->names().at(data_->picture_count() + index));
}

Offset SkinReader::find_form(std::u16string_view form)
{
    if (form == form_name_)
        return form_;
    form_name_.clear();
    form_ = 0;
    control_name_.clear();
    control_ = 0;
    if (form.empty() || !data_)
        return 0;
    walked_form_ = form;
    form_ = walk_forms(form, compare_counter_, nullptr);
    if (form_ != 0)
        form_name_ = form;
    return form_;
}

// The list is only needed for a report, so the walk describes itself only on demand
// and the hot path builds no text.
std::u16string SkinReader::form_list() const
{
    std::u16string list;
    uint32_t comparisons = 0;
    if (data_ && !walked_form_.empty())
        walk_forms(walked_form_, comparisons, &list);
    return list;
}

// Walks the whole form tree in pre-order and chooses, among the forms whose names
// begin with the wanted name and that admit the device, the widest fitting one, then
// the tallest; a later one wins a tie.
Offset SkinReader::walk_forms(std::u16string_view form, uint32_t& comparisons, std::u16string* list) const
{
    Offset chosen = 0;
    Point best;
    std::vector<Offset> pending;
    if (data_->form_root() != 0)
        pending.push_back(data_->form_root());
    while (!pending.empty()) {
        const Offset node = pending.back();
        pending.pop_back();
        if (const Offset right = data_->right(node))
            pending.push_back(right);
        if (const Offset left = data_->left(node))
            pending.push_back(left);

        if (!data_->starts_with(data_->name(node), form)) {
            if (list)
                *list += u"-" + data_->text(data_->name(node)) + u"\n";
            continue;
        }
        Point size;
        if (const Offset record = data_->find_record(node, Record::Point, u"Size", comparisons)) {
            const auto [x, y] = data_->point_value(record);
            size = {x * scale_, y * scale_};
        }
        const Offset devices_record = data_->find_record(node, Record::String, u"Devices", comparisons);
        const std::u16string devices = devices_record ? data_->text(data_->string_value(devices_record)) : u"";
        const Offset full_screen_record = data_->find_record(node, Record::Integer, u"Fullscreen", comparisons);
        const bool full_screen = full_screen_record && data_->integer_value(full_screen_record) != 0;
        if (list)
            *list += u"+" + data_->text(data_->name(node)) + u" Size=" + liba::to_wide(std::to_string(size.x)) +
                     u" " + liba::to_wide(std::to_string(size.y)) + u" Devices=" + devices;

        const platform::Size limit = full_screen ? screen_ : work_area_;
        if (devices_admit(devices, device_.smartphone)) {
            if (list)
                *list += u" good_for_device";
            const bool fits = size.x <= limit.width && size.y <= limit.height;
            const bool as_good = size.x > best.x || (size.x == best.x && size.y >= best.y);
            if (fits && as_good) {
                chosen = node;
                best = size;
            }
        }
        if (list)
            *list += u"\n";
    }
    return chosen;
}

Offset SkinReader::form_node(std::u16string_view form)
{
    ++property_counter_;
    if (!data_)
        report_no_skin();
    const Offset node = find_form(form);
    if (node == 0)
        report_no_form(form);
    return node;
}

Offset SkinReader::find_node(std::u16string_view form, std::u16string_view control)
{
    ++property_counter_;
    if (!data_)
        report_no_skin();
    if (form.empty()) {
        if (control == kind_name_ && kind_ != 0)
            return kind_;
        const Offset kind = data_->find_node(data_->kind_root(), control, compare_counter_);
        if (kind != 0) {
            kind_name_ = control;
            kind_ = kind;
        } else if (!control.empty()) {
            liba::fatal_error(u"report_no_form",
                              u"Skin file {" + path_ + u"} has no kind {" + std::u16string(control) + u"}");
        }
        return kind;
    }
    const Offset form_offset = find_form(form);
    if (form_offset == 0)
        report_no_form(form);
    if (control == control_name_ && control_ != 0)
        return control_;
    const Offset node = data_->find_node(data_->control_root(form_offset), control, compare_counter_);
    if (node == 0)
        liba::fatal_error(u"report_no_control", u"Skin file {" + path_ + u"} form {" + std::u16string(form) +
                                                    u"} has no control {" + std::u16string(control) + u"}");
    control_name_ = control;
    control_ = node;
    return node;
}

uint32_t SkinReader::form_control_count(std::u16string_view form)
{
    return data_->control_count(form_node(form));
}

std::pair<std::u16string, std::u16string> SkinReader::form_control_entry(std::u16string_view form, uint32_t index)
{
    const Offset node = form_node(form);
    if (index >= data_->control_count(node))
        return {};
    const auto [name, class_name] = data_->control_entry(node, index);
    return {data_->text(name), data_->text(class_name)};
}

std::vector<std::u16string> SkinReader::form_control_names(std::u16string_view form)
{
    std::vector<std::u16string> names;
    std::vector<Offset> pending;
    // In order: left subtree, node, right subtree. The data was checked when it was
    // opened, so the walk ends.
    for (Offset node = data_->control_root(form_node(form)); node || !pending.empty();) {
        if (node) {
            pending.push_back(node);
            node = data_->left(node);
            continue;
        }
        node = pending.back();
        pending.pop_back();
        names.push_back(data_->text(data_->name(node)));
        node = data_->right(node);
    }
    return names;
}

void SkinReader::report_no_skin() const
{
    liba::fatal_error(u"report_no_skin", u"Skin file {" + path_ + u"} was invalid, but no check_version performed");
}

void SkinReader::report_no_form(std::u16string_view form) const
{
    liba::fatal_error(u"report_no_form", u"Skin file {" + path_ + u"} has no form {" + std::u16string(form) +
                                             u"} for workarea_size=" + liba::to_wide(std::to_string(work_area_.width)) +
                                             u" " + liba::to_wide(std::to_string(work_area_.height)) +
                                             u". list of all forms:\n" + form_list());
}

Offset SkinReader::find_record(Offset node, Record type, std::u16string_view name)
{
    if (node == 0 || !data_)
        return 0;
    const Offset record = data_->find_record(node, type, name, compare_counter_);
    if (record != 0)
        ++found_property_counter_;
    return record;
}

std::optional<int32_t> SkinReader::integer(Offset node, std::u16string_view name)
{
    const Offset record = find_record(node, Record::Integer, name);
    if (record == 0)
        return std::nullopt;
    return data_->integer_value(record);
}

std::optional<Point> SkinReader::point(Offset node, std::u16string_view name)
{
    const Offset record = find_record(node, Record::Point, name);
    if (record == 0)
        return std::nullopt;
    const auto [x, y] = data_->point_value(record);
    return Point{x * scale_, y * scale_};
}

std::optional<std::u16string> SkinReader::string(Offset node, std::u16string_view name)
{
    const Offset record = find_record(node, Record::String, name);
    if (record == 0)
        return std::nullopt;
    return data_->text(data_->string_value(record));
}

std::optional<Colour> SkinReader::color(Offset node, std::u16string_view name)
{
    const Offset record = find_record(node, Record::Color, name);
    if (record == 0)
        return std::nullopt;
    const uint8_t* bytes = data_->color_value(record);
    return Colour{bytes[0], bytes[1], bytes[2], bytes[3]};
}

std::optional<SkinPicture> SkinReader::picture(Offset node, std::u16string_view name)
{
    const Offset record = find_record(node, Record::Picture, name);
    if (record == 0)
        return std::nullopt;
    const SkinPictureRecord stored = data_->picture_value(record);
    SkinPicture picture;
    picture.picture = stored.picture;
    picture.stretch = stored.stretch;
    for (int i = 0; i < 4; ++i)
        picture.points[i] = {stored.x[i] * scale_, stored.y[i] * scale_};
    return picture;
}

std::optional<uint32_t> SkinReader::font(Offset node, std::u16string_view name)
{
    const Offset record = find_record(node, Record::Font, name);
    if (record == 0)
        return std::nullopt;
    return data_->font_value(record);
}

} // namespace skinner
