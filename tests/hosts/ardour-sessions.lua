-- Builds the Ardour session of one render case, for ardour7-export to render.
-- Run by scripts/test-hosts.sh through ardour7-lua, with:
--   MG_SESSION  folder of the session to create; its last part names it
--   MG_RATE     sample rate
--   MG_PLUGIN   the plug-in's name as scanned (an LV2 plug-in's URI)
--   MG_PLUGIN_TYPE  LXVST (the default) or LV2
--   MG_SETTINGS the parameters to set, "NAME:VALUE,NAME:VALUE..." (the
--               plug-in's parameter names, normalised values; an LV2 port
--               takes the parameter's units, 0 to 1 for all of ours), may
--               be empty
-- The session has two stereo buses with the same test tones: "Input" alone,
-- and "Pedal" with the pedal after them. The master bus gets four channels,
-- Input on 1-2 and Pedal on 3-4, and is what ardour7-export renders: every
-- render carries the very samples the pedal was given, whatever the
-- exporter does with the timeline.
-- Prints the pedal's parameters and "session NAME" once saved; "error: ..."
-- and exit status 1 otherwise (a Lua error ends the interpreter with status
-- 0, so the caller looks for the line).
local folder = assert (os.getenv ("MG_SESSION"), "MG_SESSION not set")
local rate = tonumber (os.getenv ("MG_RATE") or "48000")
local plugin_name = assert (os.getenv ("MG_PLUGIN"), "MG_PLUGIN not set")
local plugin_type = ARDOUR.PluginType[os.getenv ("MG_PLUGIN_TYPE") or "LXVST"]
local settings = os.getenv ("MG_SETTINGS") or ""
local audio = ARDOUR.DataType ("audio")

local function fail (text)
	print ("error: " .. text)
	os.exit (1)
end

-- The host's parameter numbers count control inputs only (an LV2 plug-in's
-- ports include its audio ports).
local function parameter_indices (plugin)
	local indices, labels = {}, {}
	for i = 0, plugin:parameter_count () - 1 do
		if plugin:parameter_is_control (i) and plugin:parameter_is_input (i) then
			local _, refs = plugin:get_parameter_descriptor (i, ARDOUR.ParameterDescriptor ())
			indices[refs[2].label] = #labels
			labels[#labels + 1] = refs[2].label
		end
	end
	return indices, labels
end

local function bus_with_tones (s, name)
	local bus = s:new_audio_route (2, 2, nil, 1, name, ARDOUR.PresentationInfo.Flag.AudioBus,
	                               ARDOUR.PresentationInfo.max_order):front ()
	local tones = ARDOUR.LuaAPI.new_plugin (s, "Marrow-Grit Test Tones", ARDOUR.PluginType.Lua, "")
	if tones:isnil () then fail ("test tones not found") end
	bus:add_processor_by_index (tones, 0, nil, true)
	-- Channels straight through: a stereo panner's state is no part of the test.
	bus:panner_shell ():set_bypassed (true)
	return bus
end

AudioEngine:set_backend ("None (Dummy)", "", "")

do
	local name = folder:match ("([^/]+)/*$")
	local s = create_session (folder, name, rate)
	if not s then fail ("could not create session " .. name) end
	local master = s:master_out ()
	for _ = 1, 2 do
		if master:input ():add_port ("", nil, audio) ~= 0 then fail ("no more master inputs") end
	end
	master:panner_shell ():set_bypassed (true)

	bus_with_tones (s, "Input") -- connects itself to master inputs 1-2
	local bus = bus_with_tones (s, "Pedal")
	local pedal = ARDOUR.LuaAPI.new_plugin (s, plugin_name, plugin_type, "")
	if pedal:isnil () then fail ("plug-in '" .. plugin_name .. "' not found") end
	bus:add_processor_by_index (pedal, 1, nil, true)
	bus:output ():disconnect_all (nil)
	for i = 0, 1 do
		if bus:output ():audio (i):connect (master:input ():audio (i + 2):name ()) ~= 0 then
			fail ("could not connect the pedal's bus to the master bus")
		end
	end

	local plugin = pedal:to_insert ():plugin (0)
	local indices, labels = parameter_indices (plugin)
	for parameter, value in settings:gmatch ("([^:,]+):([^,]+)") do
		local index = indices[parameter]
		if not index then fail ("the plug-in has no parameter '" .. parameter .. "'") end
		if not ARDOUR.LuaAPI.set_processor_param (pedal, index, tonumber (value)) then
			fail ("could not set " .. parameter .. " to " .. value)
		end
	end
	for i, label in ipairs (labels) do
		print (string.format ("  %s: [%d] %s = %g", name, i - 1, label,
		                      ARDOUR.LuaAPI.get_processor_param (pedal, i - 1, true)))
	end

	s:save_state ("", false, false, false, false, false)
	print ("session " .. name)
	io.stdout:flush ()
end
-- Closing a session with more than one bus now and then crashes or
-- deadlocks Ardour in its own process graph teardown; the session is saved,
-- so leave without closing it.
os.exit (0)
