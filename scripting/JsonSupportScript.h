// The script every JSON document loads into its engine when it is created: the support
// functions its evaluated snippets call (get__nodeValue, get__count, get__name_All,
// get__extend), then JSON.stringify and JSON.parse for engines that lack them, then the
// toJSONString and parseJSON helpers on Object.prototype when not yet present.
#pragma once

#include <string_view>

std::u16string_view JsonSupportScript();
