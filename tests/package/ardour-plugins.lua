-- Lists the VST plug-ins Ardour finds, one line "lxvst NAME PATH" each, then
-- "done". Run by scripts/test-package.sh through ardour7-lua with
-- MG_SESSION naming a scratch session folder. Ardour lists a plug-in only
-- when its file lies in Ardour's own search path (LXVST_PATH, else its
-- default folders) and the scanner has described it; so this shows where a
-- user's Ardour finds the installed plug-in.
io.stdout:setvbuf ("no")
local folder = assert (os.getenv ("MG_SESSION"), "MG_SESSION not set")
AudioEngine:set_backend ("None (Dummy)", "", "")
-- The plug-in list needs a session.
local s = create_session (folder, folder:match ("([^/]+)/*$"), 48000)
if not s then
	print ("error: could not create a session")
	os.exit (1)
end
for p in ARDOUR.LuaAPI.list_plugins ():iter () do
	if p.type == ARDOUR.PluginType.LXVST then print ("lxvst " .. p.name .. " " .. p.path) end
end
close_session ()
print ("done")
