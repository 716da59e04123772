# Loads each godot case's .tres with Godot's own resource loader (run headless:
# godot3-server --no-window --path WWW -s godot.gd), and rebuilds every AtlasTexture
# from its sheet through Godot's Image: the region cut out with get_rect, blitted at
# the margin's place into a picture of the texture's own size. Each rebuilt frame is
# saved beside its case and reported as a "sheet" that maps one to one onto the
# picture, so compare.py checks it as it checks every other engine.
extends SceneTree

var sheets = {}


# A project without the editor imports no PNG: each sheet goes into the resource
# cache under the path the .tres names it by, so only a path Godot resolves from the
# .tres to that very file finds it.
func preload_sheet(path):
	var image = Image.new()
	if image.load(path) != OK:
		return
	image.convert(Image.FORMAT_RGBA8)
	var texture = ImageTexture.new()
	texture.create_from_image(image, 0)
	texture.take_over_path(path)
	sheets[path] = [image, texture]


func rebuild(texture, dir, count):
	var record = {"name": texture.resource_name}
	var sheet = sheets.get(texture.atlas.resource_path if texture.atlas else "")
	if sheet == null:
		return null
	var region = texture.region
	var margin = texture.margin
	var w = texture.get_width()
	var h = texture.get_height()
	var picture = Image.new()
	picture.create(w, h, false, Image.FORMAT_RGBA8)
	picture.blit_rect(sheet[0].get_rect(region), Rect2(Vector2(), region.size), margin.position)
	var file = "godot-%d.png" % count
	picture.save_png("res://%s/%s" % [dir, file])
	record["sheet"] = file
	record["W"] = w
	record["H"] = h
	record["dest"] = [0, 0, w, h]
	record["tl"] = [0, 0]
	record["tr"] = [w, 0]
	record["bl"] = [0, h]
	record["region"] = [region.position.x, region.position.y, region.size.x, region.size.y]
	record["margin"] = [margin.position.x, margin.position.y, margin.size.x, margin.size.y]
	return record


# Every frame once; an animation is reported unless it is a still frame's own.
func read_case(case):
	var record = case.duplicate()
	record["frames"] = []
	record["anims"] = {}
	for png in case["png"]:
		preload_sheet("res://%s/%s" % [case["dir"], png])
	var frames = load("res://%s/%s" % [case["dir"], case["data"][0]])
	if frames == null:
		record["error"] = "Godot loaded nothing"
		return record
	var seen = {}
	for animation in frames.get_animation_names():
		var shown = []
		for i in range(frames.get_frame_count(animation)):
			var texture = frames.get_frame(animation, i)
			if not seen.has(texture):
				seen[texture] = true
				var rebuilt = rebuild(texture, case["dir"], seen.size())
				if rebuilt == null:
					record["error"] = "%s: no sheet at %s" % [texture.resource_name, texture.atlas]
					return record
				record["frames"].append(rebuilt)
			shown.append({"frame": texture.resource_name,
						  "duration": 1000.0 / frames.get_animation_speed(animation)})
		if shown.size() > 1 or shown[0]["frame"] != animation:
			record["anims"][animation] = shown
	return record


func _init():
	var file = File.new()
	file.open("res://cases.json", File.READ)
	var report = []
	for case in parse_json(file.get_as_text()):
		if case["engine"] == "godot":
			report.append(read_case(case))
	file.close()
	file.open("res://godot.json", File.WRITE)
	file.store_string(to_json(report))
	file.close()
	quit()
