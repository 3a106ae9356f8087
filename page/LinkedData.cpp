#include "page/LinkedData.h"

#include "page/JsonValue.h"

namespace {

// "VideoObject", also written with a vocabulary's prefix or address.
bool NamesVideoObject(const TJsonValue& type)
{
    if (type.Kind == TJsonValue::jkArray) {
        for (const TJsonValue& item : type.Items)
            if (NamesVideoObject(item))
                return true;
        return false;
    }
    const std::string_view name = "VideoObject";
    const std::string& text = type.Text;
    if (type.Kind != TJsonValue::jkString || !text.ends_with(name))
        return false;
    return text.size() == name.size() || text[text.size() - name.size() - 1] == '/' ||
        text[text.size() - name.size() - 1] == ':';
}

std::string StringMember(const TJsonValue& object, std::string_view name)
{
    const TJsonValue* member = object.Member(name);
    return member && member->Kind == TJsonValue::jkString ? member->Text : std::string();
}

void Collect(const TJsonValue& value, std::vector<TLinkedVideo>& videos)
{
    if (value.Kind == TJsonValue::jkObject) {
        const TJsonValue* type = value.Member("@type");
        if (type && NamesVideoObject(*type)) {
            TLinkedVideo video{StringMember(value, "contentUrl"), StringMember(value, "encodingFormat")};
            if (!video.ContentUrl.empty())
                videos.push_back(std::move(video));
        }
        for (const TJsonMember& member : value.Members)
            Collect(member.Value, videos);
    }
    for (const TJsonValue& item : value.Items)
        Collect(item, videos);
}

} // namespace

std::vector<TLinkedVideo> LinkedVideos(std::string_view json)
{
    std::vector<TLinkedVideo> videos;
    if (std::optional<TJsonValue> value = ParseJson(json))
        Collect(*value, videos);
    return videos;
}
